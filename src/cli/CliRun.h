#pragma once

#include "engine/CommandBuilder.h"
#include "media/MediaProbe.h"

#include <QHash>
#include <QObject>
#include <QString>
#include <cstdio>
#include <functional>
#include <optional>

class ConversionEngine;
class ConversionList;
class MediaProbeQueue;
class SignalWatcher;
enum class BatchOutcome;
enum class MessageIcon;

// One run of clipwright-cli once the command line has been checked: probes
// the listed files, fills their rows, then either prints the commands
// (--dry-run) or converts the batch, printing what the window would show.
// It ends the event loop with the exit status.
class CliRun : public QObject
{
    Q_OBJECT

public:
    enum ExitStatus
    {
        AllOk = 0,
        SomeFailed = 1,
        UsageOrInput = 2,
        Cancelled = 130
    };

    // What every row gets on top of what the probe found; empty texts leave
    // the probe's values.
    struct RowDefaults
    {
        QString start;
        QString end;
        QString watermark;
    };

    // `dryRunCommand` builds a row's command for --dry-run; empty for a real run.
    CliRun(ConversionList &list, ConversionEngine &engine, MediaProbeQueue &probes,
           SignalWatcher &signalWatcher, RowDefaults defaults,
           std::function<ConvertCommand(int position)> dryRunCommand, QObject *parent = nullptr);

    // Adds a probe for every row; the rest follows from the event loop.
    void start();

private:
    void onProbed(int id, const MediaFacts &facts);
    void onProbesDone();
    void printDryRun();
    void onSignal(int signalNumber);
    void onRowFinished(const QString &status, const QString &source, const QString &output,
                       const QString &reason);
    void onMessage(const QString &text, MessageIcon icon);
    void onBatchFinished(BatchOutcome outcome);
    void finish(int status);
    void exitWhenIdle();

    void printLine(std::FILE *stream, const QString &text);
    void drawProgress();
    void clearProgress();

    ConversionList &m_list;
    ConversionEngine &m_engine;
    MediaProbeQueue &m_probes;
    RowDefaults m_defaults;
    std::function<ConvertCommand(int)> m_dryRunCommand;

    QHash<int, int> m_probePositions; // probe id -> row position
    bool m_batchStarted = false;
    bool m_cancelRequested = false;
    bool m_anyFailed = false;
    std::optional<int> m_exitStatus;

    // The progress line, drawn on a terminal only.
    bool m_showProgress = false;
    bool m_progressShown = false;
    int m_itemPercent = 0;
    int m_totalPercent = 0;
    QString m_elapsed;
    double m_speed = -1;
    qint64 m_remaining = -1;
};
