// clipwright-cli: the conversion engine of the window without a window.
// Builds the catalogue, option sheet, list and engine, wires them to a
// printer, and runs the event loop.

#include "app/ConversionList.h"
#include "app/OptionSheet.h"
#include "app/ProfileCatalogue.h"
#include "app/ProfileSelection.h"
#include "app/WatermarkText.h"
#include "cli/CliOptions.h"
#include "cli/CliRun.h"
#include "cli/SignalWatcher.h"
#include "engine/CommandBuilder.h"
#include "engine/ConversionEngine.h"
#include "engine/KeyChannel.h"
#include "engine/SystemServices.h"
#include "media/MediaProbeQueue.h"
#include "settings/ProgramFolders.h"
#include "settings/Settings.h"

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

void printTo(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
}

int fail(const QString &text)
{
    printTo(stderr, QStringLiteral("clipwright-cli: ") + text);
    return CliRun::UsageOrInput;
}

int usageError(const QString &text)
{
    fail(text);
    printTo(stderr, QStringLiteral("Try 'clipwright-cli --help'."));
    return CliRun::UsageOrInput;
}

QString absolutePath(const QString &path)
{
    return path.isEmpty() ? QString() : QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// Applies the chosen profile and the --set values to a fresh sheet; the
// reason when the command line asks for something the sheet cannot do.
QString setUpSheet(const CliOptions &options, const Settings &settings,
                   const QVector<ProfileEntry> &entries, ProfileCatalogue &catalogue,
                   OptionSheet &sheet, QString &profileText)
{
    sheet.prolist();
    const std::optional<int> stored = settings.profile();
    const int wanted = options.profile.value_or(stored.value_or(1));
    if (wanted < 1 || wanted > entries.size())
        return QStringLiteral("profile position %1%2 is outside 1..%3 (see --list-profiles)")
            .arg(wanted)
            .arg(options.profile || !stored ? QString() : QStringLiteral(" (stored setting)"))
            .arg(entries.size());
    const int position = applyProfile(entries, wanted, catalogue, sheet);
    if (!entries[position - 1].isProfile())
        return QStringLiteral("entry %1 is a category without a profile after it").arg(wanted);
    profileText = entries[position - 1].text;

    for (const SheetAssignment &a : options.assignments) {
        const OptionItem *item = sheet.item(a.group, a.item);
        if (!item)
            return QStringLiteral("the option sheet has no item \"%1/%2\"").arg(a.group, a.item);
        if (item->readOnly)
            return QStringLiteral("\"%1/%2\" cannot be set").arg(a.group, a.item);
        (void)sheet.setValue(a.group, a.item, a.value);
    }
    return {};
}

} // namespace

int main(int argc, char *argv[])
{
    // Before Qt starts any thread or child, so that all of them inherit it.
    if (!SignalWatcher::blockTerminationSignals())
        return fail(QStringLiteral("cannot block SIGINT and SIGTERM"));

    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Clipwright"));
    QCoreApplication::setApplicationVersion(QStringLiteral(CLIPWRIGHT_VERSION));

    const CliParseResult parsed = parseCliArguments(QCoreApplication::arguments());
    if (!parsed.error.isEmpty())
        return usageError(parsed.error);
    const CliOptions &options = parsed.options;
    if (options.help) {
        std::fputs(cliUsage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (options.version) {
        printTo(stdout, QStringLiteral("Clipwright " CLIPWRIGHT_VERSION));
        return 0;
    }

    const QString cataloguePath = QDir(dataFolder()).filePath(QStringLiteral("ct.s3db"));
    ProfileCatalogue catalogue;
    if (!catalogue.open(cataloguePath))
        return fail(QStringLiteral("cannot open the profile catalogue %1: %2")
                        .arg(cataloguePath, catalogue.errorString()));
    const QVector<ProfileEntry> entries = catalogue.loadEntries();
    if (entries.isEmpty())
        return fail(QStringLiteral("cannot read the profile catalogue %1: %2")
                        .arg(cataloguePath, catalogue.errorString()));
    if (options.listProfiles) {
        for (int i = 0; i < entries.size(); ++i)
            printTo(stdout,
                    QStringLiteral("%1\t%2\t%3").arg(i + 1).arg(entries[i].key, entries[i].text));
        return 0;
    }

    const Settings settings = Settings::forThisProgram();
    OptionSheet sheet;
    QString profileText;
    const QString sheetError =
        setUpSheet(options, settings, entries, catalogue, sheet, profileText);
    if (!sheetError.isEmpty())
        return usageError(sheetError);

    const QString outputFolder = absolutePath(options.outputFolder);
    if (!options.outputFolder.isEmpty() && !QFileInfo(outputFolder).isDir())
        return usageError(QStringLiteral("no folder %1").arg(outputFolder));
    CliRun::RowDefaults defaults{options.clipStart, options.clipEnd, {}};
    if (!options.watermarkPicture.isEmpty()) {
        const QString picture = absolutePath(options.watermarkPicture);
        if (!QFileInfo(picture).isFile())
            return usageError(QStringLiteral("no watermark picture %1").arg(picture));
        defaults.watermark = WatermarkText{picture, options.watermarkPlace}.format();
    }

    // Every file is checked before anything starts, with the engine's words.
    ConversionList list;
    bool allFound = true;
    for (const QString &file : options.files) {
        const QString path = absolutePath(file);
        if (!QFileInfo(path).isFile()) {
            printTo(stderr, QStringLiteral("Invalid input file name. ") + path);
            allFound = false;
        }
        list.append(path);
    }
    if (!allFound)
        return CliRun::UsageOrInput;

    KeyChannel keys;
    NoPowerOff power;
    NoFolderOpener opener;
    ConversionEngine::Environment environment{
        resolveProgram(QStringLiteral("ffmpeg")), statisticsFilePath(), settings.file(),
        writableFolder(), [profileText] { return profileText; }};
    ConversionEngine engine(list, sheet, keys, power, opener, environment);
    engine.setOutputFolderOverride(outputFolder);

    std::function<ConvertCommand(int)> dryRunCommand;
    if (options.dryRun) {
        dryRunCommand = [&](int row) {
            const ConvertEnvironment env{environment.ffmpeg, environment.statisticsFile,
                                         settings.thread(), settings.existedFile()};
            const ConversionItem &item = *list.row(row);
            const QString folder = outputFolder.isEmpty() ? settings.outputFolder() : outputFolder;
            return BuildConvertCommand(
                sheet, item, MakeOutputPath(item.FileName, profileText, folder, env.policy), env);
        };
    }

    SignalWatcher signalWatcher;
    if (!signalWatcher.isValid())
        return fail(QStringLiteral("cannot watch SIGINT and SIGTERM"));
    MediaProbeQueue probes;
    CliRun run(list, engine, probes, signalWatcher, defaults, dryRunCommand);
    run.start();
    return QCoreApplication::exec();
}
