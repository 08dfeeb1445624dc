#include "engine/RemoteHosts.h"

#include "engine/CommandBuilder.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QRegularExpression &spaces()
{
    static const QRegularExpression re(QStringLiteral("\\s+"));
    return re;
}

QString withExtension(const QString &stem, const QString &path)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9]{1,16}$"));
    const QString suffix = QFileInfo(path).suffix();
    return plain.match(suffix).hasMatch() ? stem + QLatin1Char('.') + suffix : stem;
}

} // namespace

SharedHosts shareConnections(const QString &hostsText, const QString &controlFolder)
{
    // "@group+group/", then "N/", then the login: "host", "user@host", a
    // whole ssh command whose last word is the host, or ":".
    static const QRegularExpression entry(QStringLiteral("^((?:@[^/\\s]+/)?(?:[0-9]+/)?)(.+)$"));
    // A socket path with a space in it would split the ssh command.
    const bool share = !controlFolder.isEmpty() && !controlFolder.contains(spaces());
    const QString options =
        QStringLiteral("-o BatchMode=yes -o ControlMaster=auto -o ControlPath=%1/%C "
                       "-o ControlPersist=30")
            .arg(controlFolder);
    SharedHosts shared;
    for (const QString &raw : hostsText.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QRegularExpressionMatch m = entry.match(line);
        const QString prefix = m.captured(1);
        const QString login = m.captured(2).trimmed();
        QStringList words = login.split(spaces());
        shared.hosts << hostOfLogin(login);
        if (share && login != QLatin1String(":")) {
            if (words.size() == 1)
                words.prepend(QStringLiteral("ssh ") + options);
            else if (QFileInfo(words[0]).fileName() == QLatin1String("ssh"))
                words.insert(1, options);
        }
        shared.text += prefix + words.join(QLatin1Char(' ')) + QLatin1Char('\n');
    }
    if (shared.hosts.isEmpty())
        shared.error = QStringLiteral("the hosts file lists no computer");
    return shared;
}

QString hostOfLogin(const QString &login)
{
    const QString trimmed = login.trimmed();
    if (trimmed == QLatin1String(":"))
        return QStringLiteral("this computer");
    return trimmed.split(spaces()).last();
}

std::optional<JobLogEntry> parseJobLogLine(const QString &line)
{
    // Seq, Host, Starttime, JobRuntime, Send, Receive, Exitval, Signal, Command
    const QStringList fields = line.split(QLatin1Char('\t'));
    if (fields.size() < 9)
        return std::nullopt;
    JobLogEntry entry;
    bool seqOk = false, exitOk = false, signalOk = false;
    entry.seq = fields[0].toInt(&seqOk);
    entry.login = fields[1];
    entry.exitValue = fields[6].trimmed().toInt(&exitOk);
    entry.signal = fields[7].trimmed().toInt(&signalOk);
    if (!seqOk || !exitOk || !signalOk || entry.seq < 1)
        return std::nullopt;
    return entry;
}

QString shellQuoted(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

RemoteNames remoteNamesFor(const QString &source, const QString &output)
{
    RemoteNames names;
    names.input = withExtension(names.input, source);
    names.output = withExtension(names.output, output);
    return names;
}

QStringList remoteArguments(const QStringList &arguments, const RemoteNames &names)
{
    QStringList rewritten = arguments;
    const qsizetype output = outputArgumentIndex(rewritten);
    if (output < 0)
        return {};
    rewritten[output] = names.output;
    rewritten[output + 2] = names.statistics;
    int inputs = 0;
    for (qsizetype i = 1; i < output; ++i) {
        if (rewritten[i - 1] != QLatin1String("-i"))
            continue;
        // The source, then the watermark picture.
        if (++inputs > 2)
            return {};
        rewritten[i] = inputs == 1 ? names.input : names.watermark;
    }
    return inputs > 0 ? rewritten : QStringList();
}

QString remoteScript(const QStringList &arguments, const RemoteNames &names)
{
    QStringList quoted;
    for (const QString &argument : arguments)
        quoted << shellQuoted(argument);
    const QString sent = shellQuoted(names.input) + QLatin1Char(' ') + shellQuoted(names.watermark);
    const QString log = shellQuoted(names.log);
    return QStringLiteral(
               "command -v ffmpeg >/dev/null 2>&1 || { rm -f %1; exit %2; }\n"
               "[ -f %3 ] || exit %4\n"
               "echo started\n"
               "ffmpeg -nostdin %5 </dev/null >%6 2>&1\n"
               "status=$?\n"
               "rm -f %1 run\n"
               "exit $status\n")
        .arg(sent)
        .arg(RemoteExit::NoFfmpeg)
        .arg(shellQuoted(names.input))
        .arg(RemoteExit::NoSource)
        .arg(quoted.join(QLatin1Char(' ')), log);
}
