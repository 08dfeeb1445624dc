#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The pieces of a batch run on other computers through GNU Parallel: the
// hosts file it reads, the lines of its job log, and what each job runs on
// its host.

// A hosts file in GNU Parallel's --sshloginfile format, rewritten so that
// the jobs of each ssh login share one connection (ssh's ControlMaster with
// sockets in `controlFolder`). Comments and blank lines go; ":" (this
// computer) and logins made with another program than ssh stay as they are.
struct SharedHosts
{
    QString text;     // the file to give GNU Parallel
    QStringList hosts; // each login's host, as hostOfLogin() names it
    QString error;    // why the file cannot be used; empty when it can
};
SharedHosts shareConnections(const QString &hostsText, const QString &controlFolder);

// The host an ssh login reaches: its last word ("user@host" stays whole);
// "this computer" for ":".
QString hostOfLogin(const QString &login);

// One line of GNU Parallel's --joblog (after its header).
struct JobLogEntry
{
    int seq = 0;
    QString login;
    int exitValue = 0;
    int signal = 0;
};
std::optional<JobLogEntry> parseJobLogLine(const QString &line);

// `text` as one word for a POSIX shell.
QString shellQuoted(const QString &text);

// The names a job uses in its own folder on the host. Only these reach the
// host; the user's paths stay here.
struct RemoteNames
{
    QString input = QStringLiteral("in");        // with the source's extension
    QString watermark = QStringLiteral("mark.png");
    QString output = QStringLiteral("out");      // with the output's extension
    QString statistics = QStringLiteral("stats");
    QString log = QStringLiteral("log");
};
// Both names carry the file's extension when it is plain letters and digits
// (FFmpeg chooses the output's format by it).
RemoteNames remoteNamesFor(const QString &source, const QString &output);

// FFmpeg's arguments of a row with the paths in them (the inputs after -i,
// the output before -vstats_file and the statistics file after it) replaced
// by `names`; empty when the list does not have that shape.
QStringList remoteArguments(const QStringList &arguments, const RemoteNames &names);

// Exit values of a job's script other than FFmpeg's own.
namespace RemoteExit {
constexpr int NoJobFolder = 96; // its folder did not reach the host
constexpr int NoSource = 97;    // the source did not
constexpr int NoFfmpeg = 127;
} // namespace RemoteExit

// The script a job runs in its folder on the host: it checks that ffmpeg
// and the source are there, runs FFmpeg with `arguments` (from
// remoteArguments()), its messages into the log, then removes what was sent
// so that only the output and the log come back.
QString remoteScript(const QStringList &arguments, const RemoteNames &names);
