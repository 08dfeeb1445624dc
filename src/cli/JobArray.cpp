#include "cli/JobArray.h"

#include "cli/CliOptions.h"
#include "cli/StatusLine.h"
#include "engine/CommandBuilder.h"
#include "engine/RemoteHosts.h"
#include "process/ResultFile.h"
#include "process/SignalWatcher.h"
#include "settings/ProgramFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <csignal>

namespace {

const QString ListName = QStringLiteral("jobs.tsv");
const QString ScriptName = QStringLiteral("clipwright.sbatch");

QString unescapeField(const QString &text)
{
    QString plain;
    plain.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != QLatin1Char('\\') || i + 1 == text.size()) {
            plain += text[i];
            continue;
        }
        const QChar next = text[++i];
        plain += next == QLatin1Char('t')   ? QChar('\t')
                 : next == QLatin1Char('n') ? QChar('\n')
                 : next == QLatin1Char('r') ? QChar('\r')
                                            : next;
    }
    return plain;
}

// The lines of `path`, without the last empty one; nullopt when unreadable.
std::optional<QStringList> readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QString resultPath(const QString &folder, int index)
{
    return QDir(folder).filePath(QStringLiteral("results/%1.tsv").arg(index));
}

} // namespace

QString arrayRowLine(const ArrayRow &row)
{
    const ConvertCommand &command = row.command;
    QJsonObject facts{{QStringLiteral("clipStart"), command.ClipStartSeconds},
                      {QStringLiteral("clipSeconds"), command.ClipSeconds},
                      {QStringLiteral("replace"), row.replace}};
    if (command.SourceSeconds)
        facts.insert(QStringLiteral("sourceSeconds"), *command.SourceSeconds);
    return QStringLiteral("%1\t%2\t%3\t%4\t%5")
        .arg(row.index)
        .arg(escapeField(row.source), escapeField(command.OutputPath),
             QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(command.Arguments))
                                   .toJson(QJsonDocument::Compact)),
             QString::fromUtf8(QJsonDocument(facts).toJson(QJsonDocument::Compact)));
}

std::optional<ArrayRow> parseArrayRow(const QString &line)
{
    const QStringList fields = line.split(QLatin1Char('\t'));
    if (fields.size() != 5)
        return std::nullopt;
    ArrayRow row;
    bool ok = false;
    row.index = fields[0].toInt(&ok);
    const QJsonDocument arguments = QJsonDocument::fromJson(fields[3].toUtf8());
    const QJsonDocument facts = QJsonDocument::fromJson(fields[4].toUtf8());
    if (!ok || row.index < 1 || !arguments.isArray() || !facts.isObject())
        return std::nullopt;
    ConvertCommand &command = row.command;
    row.source = unescapeField(fields[1]);
    command.OutputPath = unescapeField(fields[2]);
    for (const QJsonValue &value : arguments.array()) {
        if (!value.isString())
            return std::nullopt;
        command.Arguments << value.toString();
    }
    const QJsonObject object = facts.object();
    command.ClipStartSeconds = object.value(QStringLiteral("clipStart")).toInteger();
    command.ClipSeconds = object.value(QStringLiteral("clipSeconds")).toInteger();
    if (object.contains(QStringLiteral("sourceSeconds")))
        command.SourceSeconds = object.value(QStringLiteral("sourceSeconds")).toInteger();
    row.replace = object.value(QStringLiteral("replace")).toBool();
    // The output must be where FFmpeg writes: a part file goes in its place.
    const qsizetype output = outputArgumentIndex(command.Arguments);
    if (output < 1 || command.Arguments[output] != command.OutputPath || row.source.isEmpty())
        return std::nullopt;
    return row;
}

QString arrayScript(const QString &cli, const QString &folder, int rows, int atOnce)
{
    return QStringLiteral(
               "#!/bin/sh\n"
               "#SBATCH --job-name=clipwright\n"
               "#SBATCH --array=1-%1%2\n"
               "# Written by clipwright-cli --slurm-array: task N converts row N of jobs.tsv.\n"
               "# Submitted again, the array converts only the rows whose result is not OK.\n"
               "folder=%3\n"
               "result=\"$folder/results/$SLURM_ARRAY_TASK_ID.tsv\"\n"
               "if [ -f \"$result\" ] && [ \"$(head -c 3 \"$result\")\" = \"$(printf 'OK\\t')\" ]; "
               "then\n"
               "    exit 0\n"
               "fi\n"
               "exec %4 --run-job \"$folder/jobs.tsv\" --index \"$SLURM_ARRAY_TASK_ID\"\n")
        // One pass: a folder's name may hold a "%1" of its own.
        .arg(QString::number(rows),
             atOnce > 0 ? QLatin1Char('%') + QString::number(atOnce) : QString(),
             shellQuoted(folder), shellQuoted(cli));
}

QString writeJobArray(const QString &folder, const QList<ArrayRow> &rows, const QString &cli,
                      int atOnce)
{
    // Results of another batch would be read as this one's.
    if (QFileInfo::exists(folder) &&
        !QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty())
        return QStringLiteral("%1 is not empty; a job array needs a folder of its own").arg(folder);
    if (!QDir().mkpath(folder))
        return QStringLiteral("cannot make the folder %1").arg(folder);
    QString list;
    for (const ArrayRow &row : rows)
        list += arrayRowLine(row) + QLatin1Char('\n');
    const QString script = QDir(folder).filePath(ScriptName);
    QString error = saveWholeFile(QDir(folder).filePath(ListName), list.toUtf8());
    if (error.isEmpty())
        error = saveWholeFile(script, arrayScript(cli, folder, int(rows.size()), atOnce).toUtf8());
    if (!error.isEmpty())
        return error;
    QFile::setPermissions(script, QFile::permissions(script) | QFile::ExeOwner | QFile::ExeGroup |
                                      QFile::ExeOther);
    return {};
}

int collectJobArray(const QString &folder)
{
    const std::optional<QStringList> lines = readLines(QDir(folder).filePath(ListName));
    if (!lines) {
        writeLine(stderr, QStringLiteral("clipwright-cli: cannot read %1").arg(
                              QDir(folder).filePath(ListName)));
        return 2;
    }
    bool failed = false, waiting = false;
    for (const QString &line : *lines) {
        const std::optional<ArrayRow> row = parseArrayRow(line);
        if (!row) {
            writeLine(stderr, QStringLiteral("clipwright-cli: not a row of a job list: ") + line);
            return 2;
        }
        const QStringList result = readLines(resultPath(folder, row->index)).value_or(QStringList());
        const QString status = result.value(0).section(QLatin1Char('\t'), 0, 0);
        if (status != QLatin1String("OK") && status != QLatin1String("Fail") &&
            status != QLatin1String("Cancel")) {
            waiting = true;
            writeLine(stdout, QStringLiteral("Waiting\t%1\t%2")
                                  .arg(escapeField(row->source),
                                       escapeField(row->command.OutputPath)));
            continue;
        }
        writeLine(stdout, result[0]);
        if (status != QLatin1String("OK")) {
            failed = true;
            writeLine(stderr, QStringLiteral("Failed: ") + escapeField(row->source) +
                                  QLatin1Char('\n') + unescapeField(result.value(1)));
        }
    }
    return waiting ? 3 : failed ? 1 : 0;
}

ArrayTask::ArrayTask(QString list, int index, SignalWatcher &watcher, QObject *parent)
    : QObject(parent), m_list(std::move(list)), m_index(index),
      m_folder(QFileInfo(m_list).absolutePath()), m_resultFile(resultPath(m_folder, index))
{
    connect(&watcher, &SignalWatcher::received, this, &ArrayTask::onSignal);
}

QString ArrayTask::start()
{
    const std::optional<QStringList> lines = readLines(m_list);
    if (!lines)
        return QStringLiteral("cannot read %1").arg(m_list);
    std::optional<ArrayRow> row;
    for (const QString &line : *lines)
        if (line.section(QLatin1Char('\t'), 0, 0).toInt() == m_index)
            row = parseArrayRow(line);
    if (!row)
        return QStringLiteral("%1 has no row %2").arg(m_list).arg(m_index);
    m_row = *row;
    if (!QDir().mkpath(m_folder + QStringLiteral("/results")) ||
        !QDir().mkpath(m_folder + QStringLiteral("/stats")))
        return QStringLiteral("cannot make results/ and stats/ in %1").arg(m_folder);

    // An earlier try of this row that was killed left its part file.
    const QStringList before = readLines(m_resultFile).value_or(QStringList());
    if (before.value(0).startsWith(QLatin1String("Processing\t"))) {
        const QString part = unescapeField(before.value(1));
        if (QFileInfo(part).dir() == QFileInfo(m_row.command.OutputPath).dir() &&
            QFileInfo(part).fileName().startsWith(QLatin1String(".cw-")))
            QFile::remove(part);
    }

    // Each node has its own FFmpeg; the part file is fresh for each try.
    ConvertCommand command = m_row.command;
    command.Program = resolveProgram(QStringLiteral("ffmpeg"));
    command.PartPath = partPathFor(command.OutputPath);
    command.Arguments[outputArgumentIndex(command.Arguments)] = command.PartPath;
    if (!writeResult(QStringLiteral("Processing\t%1\t%2\n%3")
                         .arg(escapeField(m_row.source), escapeField(command.OutputPath),
                              escapeField(command.PartPath))))
        return QStringLiteral("cannot write %1").arg(m_resultFile);
    m_job = std::make_unique<ConversionJob>(
        m_index, m_row.source, command,
        m_row.replace ? ExistingFilePolicy::Overwrite : ExistingFilePolicy::AddNew,
        m_folder + QStringLiteral("/stats"));
    m_job->setCountProgram(resolveProgram(QStringLiteral("ffprobe")));
    connect(m_job.get(), &ConversionJob::statusChanged, this, &ArrayTask::onStatus);
    m_job->start(m_keys);
    return {};
}

void ArrayTask::onSignal(int signalNumber)
{
    // Slurm ends a task with SIGTERM (a cancel, the time limit): FFmpeg is
    // stopped without "q", so that its part file goes and nothing is placed.
    m_signal = signalNumber;
    if (m_job && m_job->processId() > 0)
        ::kill(-pid_t(m_job->processId()), SIGTERM);
    else if (m_job)
        m_job->cancel();
}

void ArrayTask::onStatus(ConversionJob::Status status)
{
    if (!ConversionJob::isFinal(status))
        return;
    const bool ok = status == ConversionJob::Status::Ok;
    const QString statusLine =
        (ok || !m_signal ? statusText(status) : statusText(ConversionJob::Status::Cancelled)) +
        QLatin1Char('\t') + escapeField(m_row.source) + QLatin1Char('\t') +
        escapeField(m_job->outputPath());
    const QString reason = m_signal && !ok ? QStringLiteral("Stopped by signal %1; nothing was kept.")
                                                 .arg(m_signal)
                                           : m_job->reason().trimmed();
    const bool written = writeResult(statusLine + QLatin1Char('\n') + escapeField(reason));
    writeLine(stdout, statusLine);
    if (!reason.isEmpty())
        writeLine(stderr, reason);
    if (!written)
        writeLine(stderr, QStringLiteral("clipwright-cli: cannot write ") + m_resultFile);
    QCoreApplication::exit(ok && written ? 0 : 1);
}

bool ArrayTask::writeResult(const QString &text)
{
    return saveWholeFile(m_resultFile, (text + QLatin1Char('\n')).toUtf8()).isEmpty();
}
