#pragma once

#include "app/ConversionList.h"
#include "engine/OutputPrediction.h"

#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <optional>

class ConversionEngine;
class OptionSheet;
class QProcess;

// Predicts each row's output size and conversion time from a trial encode:
// three parts of 2 s spread over the row's clip, from the keyframe before
// each (FFmpeg's concat demuxer with in and out points), encoded as one
// file with the very command the row would convert with (the whole clip
// when it is under 6 s). One FFmpeg runs at a time, at the lowest priority,
// and only while no batch runs; the selected row goes first, then the
// others in list order.
//
// A prediction belongs to the command it was made for: a change of the
// sheet, the profile or the row makes it stale, and the samples start again
// a second after the last change. Samples and their statistics go to their
// own folder, which keeps the sample of each row with a prediction (for a
// preview of the output); all of it is removed when the estimator goes.
class OutputEstimator : public QObject
{
    Q_OBJECT

public:
    struct Environment
    {
        QString ffmpeg; // empty when not found
        QString folder; // where samples go, such as Cache/samples
        std::function<QString()> profileText;
        // True while a row's probe has not filled it yet.
        std::function<bool(ConversionList::RowId)> isPending;
        int cores = 1;
    };

    OutputEstimator(ConversionList &list, OptionSheet &sheet, ConversionEngine &engine,
                    Environment environment, QObject *parent = nullptr);
    ~OutputEstimator() override;

    // Nothing is sampled until the estimator is switched on.
    void setActive(bool active);
    // The quiet time after a change before samples start; 1 s by default.
    void setDelay(int milliseconds) { m_delay.setInterval(milliseconds); }

    enum class State
    {
        Waiting, // not sampled yet for the current settings
        Ready,
        LengthUnknown,
        Failed,
    };
    struct Estimate
    {
        State state = State::Waiting;
        std::optional<RowPrediction> prediction;
        QString reason; // why it failed
    };
    Estimate estimate(ConversionList::RowId id) const;
    // "About 48 MB, 1 min 20 s", "Estimating...", "No estimate: length
    // unknown", "No estimate: FFmpeg was not found", ...
    QString rowText(ConversionList::RowId id) const;

    struct Total
    {
        qint64 bytes = 0;
        double seconds = 0;
        int rows = 0;
        int rowsWithout = 0; // rows without a prediction (yet)
    };
    // `atOnce`: how many rows the batch converts at once.
    Total total(int atOnce) const;
    QString totalText(int atOnce) const;
    // True when every row has a result for the current settings.
    bool isComplete() const;

    // The sample of a row with a prediction; empty when there is none. Its
    // middle third is the middle of the row's clip.
    QString previewFile(ConversionList::RowId id) const;
    // The FFmpeg of the sample running; 0 when none.
    qint64 sampleProcessId() const;

    // Sets "Video Bitrate" to the one value that makes the batch's predicted
    // total fit `targetBytes`, and checks it on new samples; fitFinished()
    // follows. Returns why it cannot start (rows without a prediction, a
    // profile without video, a size their sound alone exceeds).
    QString fitToSize(qint64 targetBytes);

    // Something that shapes every row's command changed: the profile, or a
    // setting (the option sheet's changes are followed without this).
    void refresh();

signals:
    // A row's estimate, or which rows have one, changed.
    void changed();
    // Every row has a result for the current settings (while fitting to a
    // size, fitFinished comes instead).
    void completed();
    // `message` says what was set, and the predicted total; `ok` false when
    // the samples did not confirm the fit.
    void fitFinished(bool ok, const QString &message);

private:
    struct Result
    {
        QString key; // the command it was made for
        Estimate estimate;
        QString preview;
    };
    struct Running
    {
        ConversionList::RowId id = 0;
        QString key;
        double clipSeconds = 0;
        double videoBitsPerSecond = 0;
        double audioBitsPerSecond = 0;
        double keyframeDistance = 0;
        bool whole = false; // the whole clip, not three parts of it
        QVector<ProgressPoint> progress;
        QByteArray output;
        QByteArray unread; // the end of a progress line still coming
    };
    // The command a row's prediction is for, kept until the row, the sheet
    // or the profile changes.
    QString keyOf(ConversionList::RowId id, const ConversionItem &row) const;
    QString keyFor(const ConversionItem &row) const;
    const Result *currentResult(ConversionList::RowId id) const;
    // `changedRow`: the one row whose fields changed; 0 for none.
    void onChange(ConversionList::RowId changedRow);
    void next();
    void startRow(ConversionList::RowId id, const ConversionItem &row);
    void onSampleOutput();
    void onSampleFinished();
    void finishRow(Estimate estimate);
    void stopSample();
    void dropStale();
    void checkFit();
    QString samplePath(ConversionList::RowId id) const;
    // The parts' list and the link to the source it names.
    void removeListFiles(ConversionList::RowId id) const;

    ConversionList &m_list;
    OptionSheet &m_sheet;
    ConversionEngine &m_engine;
    Environment m_env;
    bool m_active = false;
    QTimer m_delay;
    QHash<ConversionList::RowId, Result> m_results;
    mutable QHash<ConversionList::RowId, QString> m_keys;
    std::optional<Running> m_running;
    QPointer<QProcess> m_process;
    QElapsedTimer m_clock;
    bool m_wasComplete = false;
    qint64 m_fitTarget = 0; // while a fit is being checked
    int m_fitRounds = 0;
};
