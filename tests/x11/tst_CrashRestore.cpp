#include "../TestSupport.h"

#include <csignal>

// The window killed (SIGKILL) while FFmpeg converts the second of three
// rows: FFmpeg does not outlive it, and the next start lists the two
// unfinished rows, which Convert then finishes. One complete output per
// source, the first not converted again, and no part file left.
class TestCrashRestore : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // The window of `pid` gets Ctrl+N (Convert Now!) once it knows FFmpeg's
    // encoders: the FFmpeg that listed them, whose id the stand-in wrote, has
    // been reaped.
    void convert(qint64 pid)
    {
        const auto listed = [this] {
            const QByteArray id = readFile(path("listing")).trimmed();
            return !id.isEmpty() && !QFileInfo::exists("/proc/" + id);
        };
        QTRY_VERIFY_WITH_TIMEOUT(listed(), 20000);
        QFile::remove(path("listing"));
        run("xdotool",
            {"search", "--sync", "--onlyvisible", "--pid", QString::number(pid), "--name",
             "Clipwright", "windowfocus", "--sync", "%1", "key", "ctrl+n"},
            20000);
    }

    // The FFmpeg the window runs; 0 when none.
    static qint64 ffmpegOf(qint64 parent)
    {
        const QString task = QString("/proc/%1/task/%1/children").arg(parent);
        for (const QByteArray &child : readFile(task).split(' '))
            if (!child.isEmpty() && readFile("/proc/" + child + "/comm") == "ffmpeg\n")
                return child.toLongLong();
        return 0;
    }

    static bool isGone(qint64 pid)
    {
        const QByteArray stat = readFile("/proc/" + QString::number(pid) + "/stat");
        return stat.isEmpty() || stat.mid(stat.lastIndexOf(')') + 2, 1) == "Z";
    }

    QStringList outputs() const { return QDir(path("out")).entryList(QDir::Files | QDir::Hidden); }

private slots:
    void killedDuringTheSecondRow()
    {
        const QString bin = path("bin");
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(path("out")));
        QVERIFY(QFile::copy(CLIPWRIGHT_BIN_DIR "/clipwright", bin + "/clipwright"));
        QVERIFY(QFile::copy(CLIPWRIGHT_BIN_DIR "/ct.s3db", bin + "/ct.s3db"));
        // FFmpeg, the one that lists the encoders writing down its id first;
        // deaf to SIGPIPE, and in the first run converting in real time (the
        // options in "pace"), so that only the death signal the window sets
        // ends it early.
        const QByteArray real = resolveProgram("ffmpeg").toUtf8();
        QVERIFY(writeFile(path("pace"), "-re"));
        QVERIFY(writeFile(bin + "/ffmpeg",
                          "#!/bin/sh\ntrap '' PIPE\n[ \"$2\" = -encoders ] || exec '" + real +
                              "' $(cat '" + path("pace").toUtf8() +
                              "' 2>/dev/null) \"$@\"\necho $$ > '" + path("listing").toUtf8() +
                              "'\nexec '" + real + "' \"$@\"\n"));
        QVERIFY(QFile::setPermissions(bin + "/ffmpeg", QFile::ReadOwner | QFile::ExeOwner));
        QVERIFY(writeFile(bin + "/settings.dat",
                          "[set]\nprofile=2\noutputfolder=" + path("out").toUtf8() + "\n"));
        QVERIFY(makeClip(path("a.avi"), 1, "64x48"));
        QVERIFY(makeClip(path("b.avi"), 20, "640x360"));
        QVERIFY(makeClip(path("c.avi"), 1, "64x48"));

        QProcess first;
        first.setStandardInputFile(QProcess::nullDevice());
        first.start(bin + "/clipwright", {path("a.avi"), path("b.avi"), path("c.avi")});
        QVERIFY(first.waitForStarted());
        convert(first.processId());
        qint64 ffmpeg = 0;
        QTRY_VERIFY_WITH_TIMEOUT(outputs().contains("a.mp4") &&
                                     !outputs().filter(QRegularExpression("^\\.cw-")).isEmpty() &&
                                     (ffmpeg = ffmpegOf(first.processId())) != 0,
                                 60000);
        ::kill(pid_t(first.processId()), SIGKILL);
        QVERIFY(first.waitForFinished());
        QTRY_VERIFY_WITH_TIMEOUT(isGone(ffmpeg), 5000);
        QVERIFY(QFile::remove(path("pace")));

        QProcess second;
        second.setStandardInputFile(QProcess::nullDevice());
        second.start(bin + "/clipwright", {});
        QVERIFY(second.waitForStarted());
        convert(second.processId());
        // a.mp4 converted again would add an a_New.mp4.
        QTRY_COMPARE_WITH_TIMEOUT(outputs(), QStringList({"a.mp4", "b.mp4", "c.mp4"}), 90000);
        QVERIFY(qAbs(duration(path("out/b.mp4")) - 20) < 1);
    }
};

QTEST_GUILESS_MAIN(TestCrashRestore)
#include "tst_CrashRestore.moc"
