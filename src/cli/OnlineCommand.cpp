#include "cli/OnlineCommand.h"

#include "online/OnlineVideoTool.h"
#include "process/SignalWatcher.h"

#include <QCoreApplication>
#include <QTimer>

namespace {

enum ExitStatus
{
    Done = 0,
    Failed = 1,
    BadAddress = 2,
    Interrupted = 130
};

} // namespace

OnlineCommand::OnlineCommand(OnlineVideoTool &tool, SignalWatcher &signalWatcher,
                             const CliOptions &options, QObject *parent)
    : QObject(parent), m_tool(tool), m_options(options)
{
    connect(&signalWatcher, &SignalWatcher::received, this, &OnlineCommand::onSignal);
    connect(&m_tool, &OnlineVideoTool::statusTextChanged, this, [this](const QString &text) {
        m_status = text;
        if (!m_finished)
            m_line.draw(text);
    });
    connect(&m_tool, &OnlineVideoTool::progressShown, this, [this](const QString &text) {
        if (!m_finished)
            m_line.draw(text);
    });
    connect(&m_tool, &OnlineVideoTool::errorMessage, this, [this](const QString &text) {
        // An HTTP error or a time-out is named in the status line only.
        if (m_status.startsWith(QLatin1String("Error ")) ||
            m_status == QLatin1String("Slow Connection"))
            printLine(stderr, m_status);
        printLine(stderr, text);
    });
    connect(&m_tool, &OnlineVideoTool::lookupFinished, this, &OnlineCommand::onLookupFinished);
    connect(&m_tool, &OnlineVideoTool::downloadSaved, this, [this](const QString &path) {
        printLine(stdout, escapeField(path));
        finish(Done);
    });
    connect(&m_tool, &OnlineVideoTool::downloadFailed, this, [this](const QString &text) {
        printLine(stderr, text);
        finish(Failed);
    });
}

void OnlineCommand::start()
{
    // From the event loop, so that an early end reaches it.
    QTimer::singleShot(0, this, [this] {
        const QString address =
            m_options.fetchUrl.isEmpty() ? m_options.lookupUrl : m_options.fetchUrl;
        if (!m_tool.lookUp(address))
            finish(BadAddress); // the tool has said why
    });
}

void OnlineCommand::onLookupFinished(bool pageRead)
{
    if (m_interrupted)
        return finish(Interrupted);
    if (!pageRead)
        return finish(Failed);
    // yt-dlp's failure, or its absence, says why no link follows.
    if (!m_tool.lookupProblem().isEmpty())
        printLine(stderr, m_tool.lookupProblem());
    if (!m_tool.thumbnailProblem().isEmpty())
        printLine(stderr, m_tool.thumbnailProblem());
    if (m_options.fetchUrl.isEmpty()) {
        printFacts();
        return finish(Done);
    }
    const int code = m_options.format;
    if (!m_tool.links().isEnabled(code)) {
        printLine(stderr,
                  QStringLiteral("clipwright-cli: the page has no link for format %1").arg(code));
        return finish(Failed);
    }
    if (!m_tool.download(code))
        finish(Failed); // the link could not be decoded; the tool has said so
}

void OnlineCommand::printFacts()
{
    for (const auto &[name, value] : m_tool.pageInfo().namedFields())
        printLine(stdout, name + QLatin1Char('\t') + escapeField(value));
    const StreamLinks &links = m_tool.links();
    for (const StreamFormat &format : streamFormats()) {
        if (!links.isEnabled(format.code))
            continue;
        const std::optional<QString> link = links.usableLink(format.code);
        if (link)
            printLine(stdout,
                      QStringLiteral("link\t%1\t%2").arg(format.code).arg(escapeField(*link)));
        else
            printLine(stderr, QStringLiteral("clipwright-cli: the link for format %1 has a \"%\" "
                                             "escape that is not hexadecimal")
                                  .arg(format.code));
    }
}

void OnlineCommand::onSignal()
{
    if (m_interrupted || m_finished)
        return;
    m_interrupted = true;
    if (m_tool.isBusy())
        m_tool.cancel(); // the tool's end finishes the run
    else
        finish(Interrupted);
}

void OnlineCommand::finish(int status)
{
    if (m_finished)
        return;
    m_finished = true;
    m_line.clear();
    QCoreApplication::exit(m_interrupted ? Interrupted : status);
}
