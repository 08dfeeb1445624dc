#pragma once

#include "cli/CliOptions.h"
#include "cli/StatusLine.h"

#include <QObject>
#include <cstdio>

class OnlineVideoTool;
class SignalWatcher;

// --lookup and --fetch: the online-video tool without its window. A lookup
// prints the page's facts and links as FIELD<TAB>VALUE lines; a fetch looks
// the page up and downloads one format, printing the saved file's path. The
// event loop ends with the exit status: 0 done, 1 the page or the download
// failed, 2 an address that cannot be opened, 130 interrupted.
class OnlineCommand : public QObject
{
    Q_OBJECT

public:
    OnlineCommand(OnlineVideoTool &tool, SignalWatcher &signalWatcher, const CliOptions &options,
                  QObject *parent = nullptr);

    void start();

private:
    void onLookupFinished(bool pageRead);
    void printFacts();
    void onSignal();
    void finish(int status);

    void printLine(std::FILE *stream, const QString &text) { m_line.print(stream, text); }

    OnlineVideoTool &m_tool;
    const CliOptions &m_options;
    bool m_interrupted = false;
    bool m_finished = false;
    QString m_status;
    StatusLine m_line;
};
