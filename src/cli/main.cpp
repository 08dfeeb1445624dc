// clipwright-cli: the conversion engine of the window without a window.
// Builds the session, checks the command line against it and hands the rest
// to a CliRun in the event loop.

#include "app/FileName.h"
#include "app/WatermarkText.h"
#include "cli/CaptureRun.h"
#include "cli/CliOptions.h"
#include "cli/CliRun.h"
#include "cli/JobArray.h"
#include "cli/OnlineCommand.h"
#include "cli/StatusLine.h"
#include "engine/ConversionEngine.h"
#include "engine/RemoteRunner.h"
#include "engine/SystemServices.h"
#include "online/OnlineVideoTool.h"
#include "process/SignalWatcher.h"
#include "session/Session.h"
#include "store/QueueStore.h"
#include "settings/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace {

// The command line never powers the machine off, whatever "autoshut" says.
class NoPowerOff : public PowerControl
{
public:
    void powerOff() override {}
};

// Nor does it open a folder window.
class NoFolderOpener : public FolderOpener
{
public:
    void openFolder(const QString &) override {}
};

int fail(const QString &text)
{
    writeLine(stderr, QStringLiteral("clipwright-cli: ") + text);
    return CliRun::UsageOrInput;
}

int usageError(const QString &text)
{
    fail(text);
    writeLine(stderr, QStringLiteral("Try 'clipwright-cli --help'."));
    return CliRun::UsageOrInput;
}

QString absolutePath(const QString &path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

int runOnlineCommand(const CliOptions &options)
{
    OnlineVideoTool tool(writableFolder());
    if (!options.outputFolder.isEmpty()) {
        const QString folder = absolutePath(options.outputFolder);
        if (!QFileInfo(folder).isDir())
            return usageError(QStringLiteral("no folder %1").arg(folder));
        tool.setDownloadFolder(folder);
    }
    SignalWatcher signalWatcher;
    if (!signalWatcher.isValid())
        return fail(QStringLiteral("cannot watch SIGINT and SIGTERM"));
    OnlineCommand command(tool, signalWatcher, options);
    command.start();
    return QCoreApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    // Before Qt starts any thread, so that every thread has them blocked and
    // the signalfd of SignalWatcher receives them.
    if (!SignalWatcher::blockTerminationSignals())
        return fail(QStringLiteral("cannot block SIGINT and SIGTERM"));

    // A name that is not UTF-8 cannot pass through the program unchanged;
    // refuse it before it is decoded into something else.
    bool allText = true;
    for (int i = 1; i < argc; ++i) {
        QString problem;
        if (!fileNameFromBytes(QByteArray(argv[i]), &problem)) {
            writeLine(stderr, problem);
            allText = false;
        }
    }
    if (!allText)
        return CliRun::UsageOrInput;

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Clipwright"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CLIPWRIGHT_VERSION));

    const CliParseResult parsed = parseCliArguments(QCoreApplication::arguments());
    if (!parsed.error.isEmpty())
        return usageError(parsed.error);
    CliOptions options = parsed.options;
    // The array's paths are the same on every node: absolute.
    options.arrayFolder = absolutePath(options.arrayFolder);
    if (options.help) {
        std::fputs(cliUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (options.version) {
        writeLine(stdout, QStringLiteral("Clipwright " CLIPWRIGHT_VERSION));
        return 0;
    }
    if (options.listDevices || !options.captureDevice.isEmpty())
        return runCaptureCommand(options);

    if (options.isOnline())
        return runOnlineCommand(options);

    // A job array's task and its results need neither the catalogue nor the
    // option sheet: the row carries its command.
    if (!options.collectFolder.isEmpty())
        return collectJobArray(absolutePath(options.collectFolder));
    if (!options.runJobList.isEmpty()) {
        SignalWatcher signalWatcher;
        if (!signalWatcher.isValid())
            return fail(QStringLiteral("cannot watch SIGINT and SIGTERM"));
        ArrayTask task(absolutePath(options.runJobList), options.jobIndex, signalWatcher);
        if (const QString problem = task.start(); !problem.isEmpty())
            return fail(problem);
        return QCoreApplication::exec();
    }

    if ((options.estimate || options.fitSize) && resolveProgram(QStringLiteral("ffmpeg")).isEmpty())
        return fail(QStringLiteral("No estimate: FFmpeg was not found"));

    NoPowerOff power;
    NoFolderOpener opener;
    Session session({dataFolder(), settingsFilePath(), writableFolder(),
                     resolveProgram(QStringLiteral("ffmpeg")),
                     resolveProgram(QStringLiteral("mplayer")),
                     resolveProgram(QStringLiteral("ffprobe"))},
                    power, opener);
    session.start();
    const QVector<ProfileEntry> &entries = session.profileEntries();
    if (entries.isEmpty())
        return fail(session.catalogueProblem());
    if (options.listProfiles) {
        for (int i = 0; i < entries.size(); ++i)
            writeLine(stdout,
                      QStringLiteral("%1\t%2\t%3").arg(i + 1).arg(entries[i].key, entries[i].text));
        return 0;
    }

    const QString outputFolder = absolutePath(options.outputFolder);
    if (!options.outputFolder.isEmpty() && !QFileInfo(outputFolder).isDir())
        return usageError(QStringLiteral("no folder %1").arg(outputFolder));
    session.engine().setOutputFolderOverride(outputFolder);
    if (options.jobs)
        session.engine().setJobsOverride(*options.jobs);
    std::unique_ptr<RemoteRunner> remote;
    if (!options.hostsFile.isEmpty()) {
        for (const char *program : {"parallel", "rsync", "ssh"})
            if (resolveProgram(QString::fromLatin1(program)).isEmpty())
                return fail(QStringLiteral("--hosts needs %1, which was not found (Debian: apt-get "
                                           "install parallel rsync openssh-client)")
                                .arg(QString::fromLatin1(program)));
        remote = std::make_unique<RemoteRunner>(
            resolveProgram(QStringLiteral("parallel")), absolutePath(options.hostsFile),
            QDir(writableFolder()).filePath(QStringLiteral("Cache/hosts")));
        const QString problem = remote->prepare();
        if (!problem.isEmpty())
            return fail(problem);
        remote->setJobsPerHost(options.jobs.value_or(0));
        session.engine().setRemoteRunner(remote.get());
    }
    CliRun::RowDefaults defaults{options.clipStart, options.clipEnd, {}};
    if (!options.watermarkPicture.isEmpty()) {
        const QString picture = absolutePath(options.watermarkPicture);
        if (!QFileInfo(picture).isFile())
            return usageError(QStringLiteral("no watermark picture %1").arg(picture));
        // The current folder may bring a ";" that the given path did not have.
        if (!WatermarkText::canHold(picture))
            return usageError(
                QStringLiteral("--watermark: the picture path must not contain \";\": %1")
                    .arg(picture));
        defaults.watermark = WatermarkText{picture, options.watermarkPlace}.format();
    }

    // Every file is checked before anything starts, with the engine's words.
    QStringList files;
    bool allFound = true;
    for (const QString &file : options.files) {
        files << absolutePath(file);
        if (!QFileInfo(files.last()).isFile()) {
            writeLine(stderr,
                      QStringLiteral("Invalid input file name. ") + escapeField(files.last()));
            allFound = false;
        }
    }
    if (!allFound)
        return CliRun::UsageOrInput;

    SignalWatcher signalWatcher;
    if (!signalWatcher.isValid())
        return fail(QStringLiteral("cannot watch SIGINT and SIGTERM"));
    QueueStore queue;
    if (!options.queueFile.isEmpty()) {
        const QueueStore::Opening opening = queue.open(absolutePath(options.queueFile));
        if (opening.outcome == QueueStore::Outcome::Locked ||
            opening.outcome == QueueStore::Outcome::Failed)
            return fail(opening.message);
        if (!opening.message.isEmpty())
            writeLine(stderr, QStringLiteral("clipwright-cli: ") + opening.message);
    }
    CliRun run(session, signalWatcher, options, files, defaults,
               queue.isOpen() ? &queue : nullptr, remote.get());
    run.start();
    const int status = QCoreApplication::exec();
    session.engine().setRemoteRunner(nullptr); // the runner goes first
    return status;
}
