#pragma once

// Helpers shared by the test executables: data rows, files, child processes
// and clips made with FFmpeg.

#include "engine/SystemServices.h"
#include "settings/ProgramFolders.h"

#include <QtTest>
#include <functional>
#include <unistd.h>

// addColumns<int, QString>("count", "name") adds one column per type.
template <typename... T, typename... Names> void addColumns(Names... names)
{
    (QTest::addColumn<T>(names), ...);
}

// newRow("tag", a, b) is QTest::newRow("tag") << a << b.
template <typename... T> void newRow(const char *tag, const T &...values)
{
    (QTest::newRow(tag) << ... << values);
}

// The first argument of every signal a spy caught, as numbers.
inline QList<int> firstArguments(const QSignalSpy &spy)
{
    QList<int> values;
    for (const QList<QVariant> &arguments : spy)
        values << arguments.first().toInt();
    return values;
}

// Records power-off and folder requests in `log` instead of carrying them out.
struct RecordingServices : PowerControl, FolderOpener
{
    explicit RecordingServices(QStringList &into) : log(into) {}
    void powerOff() override { log << "power off"; }
    void openFolder(const QString &folder) override { log << "open " + folder; }
    QStringList &log;
};

// The file's bytes; empty when it cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

// A shell script at `path` that only its owner may read and run: a stand-in
// for a program the code under test starts.
inline bool writeScript(const QString &path, const QByteArray &body)
{
    return writeFile(path, "#!/bin/sh\n" + body) &&
           QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
}

struct RunResult
{
    int exitCode = -1; // -1 when the program did not start, crashed or hung
    QByteArray output; // stdout and stderr merged
};

// Runs a program with no input and waits for it; a hung program is killed.
inline RunResult run(const QString &program, const QStringList &arguments, int timeoutMs = 180000)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(program, arguments);
    if (!p.waitForFinished(timeoutMs)) { // did not start, or hangs
        p.kill();
        p.waitForFinished();
        return {-1, p.readAll() + p.errorString().toUtf8()};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAll()};
}

struct CliResult
{
    int exitCode = -1;
    QString out, err;
};

// Runs a command line in a process group of its own, as a shell runs a job,
// while the test's event loop goes on (a loopback server may answer it);
// `whileRunning` gets the group id.
inline CliResult runCli(const QString &program, const QStringList &arguments,
                        const std::function<void(qint64)> &whileRunning = {})
{
    QProcess p;
    QSignalSpy finished(&p, &QProcess::finished);
    p.setChildProcessModifier([] { ::setpgid(0, 0); });
    p.start(program, arguments);
    if (p.waitForStarted() && whileRunning)
        whileRunning(p.processId());
    if (p.state() != QProcess::NotRunning && finished.isEmpty())
        finished.wait(300000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromLocal8Bit(p.readAllStandardOutput()),
            QString::fromLocal8Bit(p.readAllStandardError())};
}

// clipwright-cli and its catalogue in a program folder of the test's own, so
// that settings.dat and curconvert.log stay out of the build; the program,
// or empty when it cannot be copied.
inline QString installCli(const QString &bin)
{
    const QString cli = bin + "/clipwright-cli";
    return QDir().mkpath(bin) && QFile::copy(CLIPWRIGHT_BIN_DIR "/clipwright-cli", cli) &&
                   QFile::copy(CLIPWRIGHT_BIN_DIR "/ct.s3db", bin + "/ct.s3db")
               ? cli
               : QString();
}

// A clip of FFmpeg's testsrc picture at 25 fps and a 440 Hz tone, MPEG-4 video.
inline bool makeClip(const QString &path, int seconds, const QString &size = "320x240",
                     const QString &audioCodec = "libmp3lame")
{
    return run(resolveProgram("ffmpeg"),
               {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=" + size + ":rate=25", "-f",
                "lavfi", "-i", "sine=frequency=440", "-t", QString::number(seconds), "-c:v",
                "mpeg4", "-c:a", audioCodec, path})
               .exitCode == 0;
}

// ffprobe's "codec_type=", "codec_name=" (per stream) and "duration=" lines.
inline QByteArray probe(const QString &path)
{
    const RunResult r =
        run(resolveProgram("ffprobe"),
            {"-v", "error", "-show_entries", "format=duration:stream=codec_type,codec_name", "-of",
             "default=noprint_wrappers=1", path});
    return r.exitCode == 0 ? r.output : QByteArray();
}

// The container's duration in seconds from probe()'s lines, -1 when there is none.
inline double probedDuration(const QByteArray &lines)
{
    const qsizetype at = lines.indexOf("duration=");
    bool ok = false;
    const double seconds = lines.mid(at + 9, lines.indexOf('\n', at) - at - 9).toDouble(&ok);
    return at >= 0 && ok ? seconds : -1;
}

inline double duration(const QString &path)
{
    return probedDuration(probe(path));
}

#ifdef QT_WIDGETS_LIB
#include <QtWidgets>

// Answers every modal window that comes up: records a message box as
// "title ! first line" ("!" for the critical icon, "i" otherwise) and presses
// the button named `press`.
struct ModalAnswerer : QObject
{
    QStringList texts;
    QString press = "OK";
    QTimer timer;
    ModalAnswerer()
    {
        connect(&timer, &QTimer::timeout, this, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                texts << box->windowTitle() +
                             (box->icon() == QMessageBox::Critical ? " ! " : " i ") +
                             box->text().section('\n', 0, 0);
            for (auto *button :
                 modal ? modal->findChildren<QAbstractButton *>() : QList<QAbstractButton *>()) {
                if (button->text().remove('&') == press)
                    return button->click();
            }
        });
        timer.start(10);
    }
};
#endif
