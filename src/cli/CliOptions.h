#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

// One --set "GROUP/ITEM=VALUE".
struct SheetAssignment
{
    QString group;
    QString item;
    QString value;
};

// The command line of clipwright-cli, checked for form only: whether the
// names, files and folders exist is for the caller to find out.
struct CliOptions
{
    std::optional<int> profile;
    QVector<SheetAssignment> assignments;
    QString clipStart; // time texts; both empty without --clip
    QString clipEnd;
    QString watermarkPicture; // both empty without --watermark
    QString watermarkPlace;
    QString outputFolder;
    QString queueFile; // --queue FILE: the batch's records
    QString hostsFile; // --hosts FILE: GNU Parallel's list of computers
    // A batch as a Slurm job array: --slurm-array DIR writes it, --run-job
    // LIST --index I converts one row, --collect DIR gathers the results.
    QString arrayFolder;
    QString runJobList;
    int jobIndex = 0;
    QString collectFolder;
    // --jobs N|auto: conversions at once (0 = auto); unset: the "jobs" setting.
    std::optional<int> jobs;
    bool listProfiles = false;
    bool dryRun = false;
    bool estimate = false;         // --estimate: predicted sizes and times
    std::optional<qint64> fitSize; // --fit-size SIZE, in bytes
    bool help = false;
    bool version = false;
    QStringList files;
    // --list-devices, and --capture DEVICE --duration SECONDS --output FILE
    bool listDevices = false;
    QString captureDevice;
    double captureSeconds = 0; // 0: until Ctrl+C
    QString captureOutput;

    // The online-video tool: --lookup URL, or --fetch URL --format CODE.
    QString lookupUrl;
    QString fetchUrl;
    int format = 0;
    bool isOnline() const { return !lookupUrl.isEmpty() || !fetchUrl.isEmpty(); }
};

struct CliParseResult
{
    CliOptions options;
    QString error; // empty when the command line is well formed
};

// `arguments` starts with the program name, as QCoreApplication::arguments().
CliParseResult parseCliArguments(const QStringList &arguments);

QString cliUsage();

// One field of an output line: backslash, tab, line feed and carriage return
// written as \\, \t, \n and \r, so that every row stays one line.
QString escapeField(const QString &text);
