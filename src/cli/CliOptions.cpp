#include "cli/CliOptions.h"

#include "app/WatermarkText.h"
#include "engine/CommandBuilder.h"
#include "engine/OutputPrediction.h"
#include "online/StreamLinks.h"
#include "process/TimeText.h"
#include "settings/Settings.h"

#include <QCommandLineParser>

QString cliUsage()
{
    return QStringLiteral(
        "Usage: clipwright-cli [OPTIONS] FILE...\n"
        "  Converts FILE... as one batch with the catalogue, option sheet, settings.dat and\n"
        "  engine of the window.\n"
        "  --profile N                  select entry N of the profile list (1-based, counted as\n"
        "                               the window counts; a category selects the profile after\n"
        "                               it); default: the stored `profile` setting, else 1\n"
        "  --set \"GROUP/ITEM=VALUE\"     set one option-sheet value after the profile is applied\n"
        "                               (repeatable)\n"
        "  --clip START-END             clip times as time texts, e.g. 0:00:10-0:01:00, for\n"
        "                               every file\n"
        "  --watermark PICTURE@PLACE    picture and placement name for every file; PLACE is one\n"
        "                               of: Top left corner, Top right corner, Bottom left\n"
        "                               corner, Bottom right corner, Center\n"
        "  --output-folder DIR          for this run instead of the setting\n"
        "  --jobs N|auto                convert N files at once (1-8), or let the program\n"
        "                               choose from the cores and the files (auto, the default\n"
        "                               unless the window's setting says otherwise)\n"
        "  --queue FILE                 keep the batch's records in FILE (SQLite; made when\n"
        "                               missing). Run the same command again after a stop (Ctrl+C,\n"
        "                               a crash, a reboot): a source recorded OK whose output\n"
        "                               still has the recorded size and time, and whose command\n"
        "                               is unchanged, is not converted again; its line says OK\n"
        "                               and stderr says \"(done before)\"\n"
        "  --hosts FILE                 convert on the computers FILE lists, through GNU Parallel\n"
        "                               over SSH (its --sshloginfile format: \"4/user@host\", a\n"
        "                               whole ssh command, \":\" for this computer); --jobs N then\n"
        "                               runs N at once on each computer\n"
        "  --slurm-array DIR            write the batch as a Slurm job array into DIR (new or\n"
        "                               empty): jobs.tsv and clipwright.sbatch, whose task N\n"
        "                               converts row N; --jobs K runs at most K at once. Paths\n"
        "                               must be the same on every node (shared storage)\n"
        "  --run-job LIST --index I     convert row I of a job array's LIST (what each task runs)\n"
        "  --collect DIR                print the job array's status lines in list order\n"
        "                               (\"Waiting\" for rows not done); exit 0 all OK, 1 some\n"
        "                               failed, 3 some not done\n"
        "  --estimate                   print each row's predicted output size and conversion\n"
        "                               time from three 2-s samples, one line a row:\n"
        "                               SIZE_BYTES<TAB>SECONDS<TAB>SOURCE (\"-\" when unknown),\n"
        "                               then total<TAB>SIZE_BYTES<TAB>SECONDS<TAB>ROWS_WITHOUT;\n"
        "                               convert nothing\n"
        "  --fit-size SIZE              set the video bitrate so that the batch's predicted\n"
        "                               total fits SIZE (700M, 4.7G, 650MiB, bytes), then convert\n"
        "                               (with --estimate: print the estimates instead)\n"
        "  --list-profiles              print the entries, one a line: position<TAB>key<TAB>text;\n"
        "                               exit\n"
        "  --dry-run                    print each row's command-line text and output path;\n"
        "                               start nothing\n"
        "  --list-devices               print the capture devices, one a line: DEVICE<TAB>name;\n"
        "                               exit\n"
        "  --capture DEVICE --duration SECONDS --output FILE.avi\n"
        "                               record from DEVICE (/dev/videoN, dv, or lavfi:GRAPH for "
        "an\n"
        "                               FFmpeg test picture) into FILE.avi, which must not exist;\n"
        "                               stops after SECONDS (without --duration: on Ctrl+C), then\n"
        "                               prints the file and its frame counts\n"
        "  --help, --version\n"
        "Output: one line a row, STATUS<TAB>SOURCE<TAB>OUTPUT (--dry-run: COMMAND<TAB>OUTPUT);\n"
        "a backslash, tab or line break inside a field is written as \\\\, \\t, \\n or \\r.\n"
        "Exit status: 0 every row OK, 1 some row failed, 2 usage error or an invalid input\n"
        "file, 130 cancelled (Ctrl+C). With --capture: 0 recorded (also when stopped by Ctrl+C),\n"
        "1 failed, with the reason on stderr.\n"
        "\n"
        "Usage: clipwright-cli --lookup URL\n"
        "       clipwright-cli --fetch URL --format CODE [--output-folder DIR]\n"
        "  The online-video tool of the window, for a watch page at an http or https URL.\n"
        "  --lookup URL                 print the page's facts as FIELD<TAB>VALUE lines (Title,\n"
        "                               Author, VideoId, Published, Category, Description,\n"
        "                               ThumbnailUrl, Duration, Rating), then one line\n"
        "                               link<TAB>CODE<TAB>URL per stream found; backslash, tab\n"
        "                               and line breaks in values are written \\\\, \\t, \\n, \\r\n"
        "  --fetch URL --format CODE    look the page up and download the stream of format CODE\n"
        "                               (22 MP4, 34 HD Low, 35 HD High, 5 FLV) under the title\n"
        "                               (TITLE.mp4, TITLE_Full_HD.flv, TITLE_HD.flv, TITLE.flv)\n"
        "                               into DIR or the program's writable folder; print the\n"
        "                               saved file's path\n"
        "  A page without a stream map is handed to yt-dlp, when it is installed: its facts\n"
        "  and direct links replace the page's, its best MP4 standing in for format 22.\n"
        "Exit status: 0 done, 1 the page or the download failed (an incomplete download leaves\n"
        "no file), 2 usage error or an address that is not http or https, 130 cancelled.\n");
}

QString escapeField(const QString &text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\\':
            escaped += QLatin1String("\\\\");
            break;
        case '\t':
            escaped += QLatin1String("\\t");
            break;
        case '\n':
            escaped += QLatin1String("\\n");
            break;
        case '\r':
            escaped += QLatin1String("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

namespace {

QString parseOnlineInto(const QCommandLineParser &parser, CliOptions &o)
{
    o.lookupUrl = parser.value(QStringLiteral("lookup"));
    o.fetchUrl = parser.value(QStringLiteral("fetch"));
    const bool lookup = parser.isSet(QStringLiteral("lookup"));
    const bool fetch = parser.isSet(QStringLiteral("fetch"));
    if (lookup && fetch)
        return QStringLiteral("--lookup and --fetch do not go together");
    if ((lookup && o.lookupUrl.isEmpty()) || (fetch && o.fetchUrl.isEmpty()))
        return QStringLiteral("--lookup and --fetch take a URL");
    if (parser.isSet(QStringLiteral("format")) != fetch)
        return QStringLiteral("--fetch URL goes with --format CODE");
    if (fetch) {
        o.format = parser.value(QStringLiteral("format")).toInt();
        if (!findStreamFormat(o.format))
            return QStringLiteral("--format takes 22 (MP4), 34 (HD Low), 35 (HD High) or 5 (FLV)");
    }
    if ((lookup || fetch) && !o.files.isEmpty())
        return QStringLiteral("--lookup and --fetch take no FILE");
    return {};
}

QString parseInto(const QCommandLineParser &parser, CliOptions &o)
{
    o.help = parser.isSet(QStringLiteral("help"));
    o.version = parser.isSet(QStringLiteral("version"));
    o.listProfiles = parser.isSet(QStringLiteral("list-profiles"));
    o.dryRun = parser.isSet(QStringLiteral("dry-run"));
    o.outputFolder = parser.value(QStringLiteral("output-folder"));
    o.queueFile = parser.value(QStringLiteral("queue"));
    o.hostsFile = parser.value(QStringLiteral("hosts"));
    if (parser.isSet(QStringLiteral("hosts")) && o.hostsFile.isEmpty())
        return QStringLiteral("--hosts takes a FILE");
    o.files = parser.positionalArguments();
    o.arrayFolder = parser.value(QStringLiteral("slurm-array"));
    o.runJobList = parser.value(QStringLiteral("run-job"));
    o.collectFolder = parser.value(QStringLiteral("collect"));
    if (parser.isSet(QStringLiteral("run-job")) != parser.isSet(QStringLiteral("index")))
        return QStringLiteral("--run-job and --index go together");
    if (parser.isSet(QStringLiteral("index"))) {
        bool ok = false;
        o.jobIndex = parser.value(QStringLiteral("index")).toInt(&ok);
        if (!ok || o.jobIndex < 1)
            return QStringLiteral("--index takes a row number from 1 on");
    }
    if (!o.arrayFolder.isEmpty() &&
        (o.dryRun || parser.isSet(QStringLiteral("queue")) || parser.isSet(QStringLiteral("hosts")) ||
         parser.isSet(QStringLiteral("estimate")) || parser.isSet(QStringLiteral("fit-size"))))
        return QStringLiteral("--slurm-array goes without --dry-run, --queue, --hosts, --estimate "
                              "and --fit-size");

    o.estimate = parser.isSet(QStringLiteral("estimate"));
    if (parser.isSet(QStringLiteral("fit-size"))) {
        o.fitSize = parseSizeText(parser.value(QStringLiteral("fit-size")));
        if (!o.fitSize)
            return QStringLiteral("--fit-size takes a size such as 700M, 4.7G or 650MiB");
    }
    if ((o.estimate || o.fitSize) && (o.dryRun || parser.isSet(QStringLiteral("queue"))))
        return QStringLiteral("--estimate and --fit-size go without --dry-run and --queue");
    if (o.dryRun && parser.isSet(QStringLiteral("queue")))
        return QStringLiteral("--queue and --dry-run do not go together");
    if (parser.isSet(QStringLiteral("queue")) && o.queueFile.isEmpty())
        return QStringLiteral("--queue takes a FILE");

    if (parser.isSet(QStringLiteral("jobs"))) {
        const QString text = parser.value(QStringLiteral("jobs"));
        bool ok = false;
        const int n = text.toInt(&ok);
        if (text == QLatin1String("auto"))
            o.jobs = 0;
        // On other computers N is per computer, or for the whole array.
        else if (ok && n >= 1 &&
                 (n <= Settings::MaxJobs || parser.isSet(QStringLiteral("hosts")) ||
                  parser.isSet(QStringLiteral("slurm-array"))))
            o.jobs = n;
        else
            return QStringLiteral("--jobs takes a number from 1 to %1, or auto")
                .arg(Settings::MaxJobs);
    }

    if (parser.isSet(QStringLiteral("profile"))) {
        bool ok = false;
        const int n = parser.value(QStringLiteral("profile")).toInt(&ok);
        if (!ok || n < 1)
            return QStringLiteral("--profile takes a position from 1 on");
        o.profile = n;
    }

    for (const QString &text : parser.values(QStringLiteral("set"))) {
        // Group names hold no "/", item names no "=" ("A/V Sync" holds a "/").
        const int slash = text.indexOf(QLatin1Char('/'));
        const int equals = text.indexOf(QLatin1Char('='), slash + 1);
        if (slash <= 0 || equals <= slash + 1)
            return QStringLiteral("--set takes \"GROUP/ITEM=VALUE\", not \"%1\"").arg(text);
        o.assignments.append(
            {text.left(slash), text.mid(slash + 1, equals - slash - 1), text.mid(equals + 1)});
    }

    if (parser.isSet(QStringLiteral("clip"))) {
        const QStringList times = parser.value(QStringLiteral("clip")).split(QLatin1Char('-'));
        const auto start = parseTimeText(times.value(0));
        const auto end = parseTimeText(times.value(1));
        if (times.size() != 2 || !start || !end)
            return QStringLiteral("--clip takes START-END as H:MM:SS times, e.g. 0:00:10-0:01:00");
        if (*end <= *start)
            return QStringLiteral("--clip: the end must come after the start");
        o.clipStart = formatTimeText(*start);
        o.clipEnd = formatTimeText(*end);
    }

    if (parser.isSet(QStringLiteral("watermark"))) {
        const QString text = parser.value(QStringLiteral("watermark"));
        // Placement names hold no "@"; a picture path may.
        const int at = text.lastIndexOf(QLatin1Char('@'));
        o.watermarkPicture = at > 0 ? text.left(at) : QString();
        o.watermarkPlace = at > 0 ? text.mid(at + 1) : QString();
        if (o.watermarkPicture.isEmpty() || overlayExpression(o.watermarkPlace).isEmpty())
            return QStringLiteral("--watermark takes PICTURE@PLACE, PLACE being one of: Top left "
                                  "corner, Top right corner, Bottom left corner, Bottom right "
                                  "corner, Center");
        if (!WatermarkText::canHold(o.watermarkPicture))
            return QStringLiteral("--watermark: the picture path must not contain \";\"");
    }

    if (const QString error = parseOnlineInto(parser, o); !error.isEmpty())
        return error;
    if (o.help || o.version || o.listProfiles || o.isOnline() || o.listDevices ||
        !o.captureDevice.isEmpty())
        return {};
    if (!o.runJobList.isEmpty() || !o.collectFolder.isEmpty())
        return o.files.isEmpty() ? QString() : QStringLiteral("--run-job and --collect take no FILE");
    if (o.files.isEmpty())
        return QStringLiteral("no FILE given");
    return {};
}

QString parseCaptureInto(const QCommandLineParser &parser, CliOptions &o)
{
    o.listDevices = parser.isSet(QStringLiteral("list-devices"));
    o.captureDevice = parser.value(QStringLiteral("capture"));
    o.captureOutput = parser.value(QStringLiteral("output"));
    if (parser.isSet(QStringLiteral("duration"))) {
        bool ok = false;
        o.captureSeconds = parser.value(QStringLiteral("duration")).toDouble(&ok);
        if (!ok || !(o.captureSeconds > 0) || o.captureSeconds > 86400 * 7)
            return QStringLiteral("--duration takes a number of seconds above 0");
    }
    if (o.captureDevice.isEmpty())
        return parser.isSet(QStringLiteral("duration")) || parser.isSet(QStringLiteral("output"))
                   ? QStringLiteral("--duration and --output go with --capture")
                   : QString();
    if (!parser.positionalArguments().isEmpty())
        return QStringLiteral("--capture takes no FILE");
    // The recording is always AVI, whatever the name says.
    if (!o.captureOutput.endsWith(QStringLiteral(".avi"), Qt::CaseInsensitive))
        return QStringLiteral("--capture needs --output FILE.avi");
    return {};
}

} // namespace

CliParseResult parseCliArguments(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsOptions);
    const auto valueOption = [](const char *name, const char *valueName) {
        return QCommandLineOption(QString::fromLatin1(name), QString(),
                                  QString::fromLatin1(valueName));
    };
    parser.addOptions({
        valueOption("profile", "N"),
        valueOption("set", "GROUP/ITEM=VALUE"),
        valueOption("clip", "START-END"),
        valueOption("watermark", "PICTURE@PLACE"),
        valueOption("output-folder", "DIR"),
        valueOption("queue", "FILE"),
        valueOption("hosts", "FILE"),
        valueOption("slurm-array", "DIR"),
        valueOption("run-job", "LIST"),
        valueOption("index", "I"),
        valueOption("collect", "DIR"),
        valueOption("jobs", "N"),
        valueOption("fit-size", "SIZE"),
        QCommandLineOption(QStringLiteral("estimate")),
        valueOption("lookup", "URL"),
        valueOption("fetch", "URL"),
        valueOption("format", "CODE"),
        QCommandLineOption(QStringLiteral("list-profiles")),
        QCommandLineOption(QStringLiteral("dry-run")),
        QCommandLineOption(QStringList{QStringLiteral("h"), QStringLiteral("help")}),
        QCommandLineOption(QStringLiteral("version")),
        valueOption("capture", "DEVICE"),
        valueOption("duration", "SECONDS"),
        valueOption("output", "FILE"),
        QCommandLineOption(QStringLiteral("list-devices")),
    });

    CliParseResult result;
    if (!parser.parse(arguments)) {
        result.error = parser.errorText();
        return result;
    }
    result.error = parseCaptureInto(parser, result.options);
    if (result.error.isEmpty())
        result.error = parseInto(parser, result.options);
    return result;
}
