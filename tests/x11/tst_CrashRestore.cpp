#include "../TestSupport.h"

#include <csignal>

// The window killed (SIGKILL) while FFmpeg converts the second of two rows:
// FFmpeg does not outlive it. What the next start makes of the records the
// window leaves is the session's, and checked there.
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
        // deaf to SIGPIPE, and converting in real time, so that only the
        // death signal the window sets ends it early.
        const QByteArray real = resolveProgram("ffmpeg").toUtf8();
        QVERIFY(writeScript(bin + "/ffmpeg", "trap '' PIPE\n[ \"$2\" = -encoders ] || exec '" +
                                                 real + "' -re \"$@\"\necho $$ > '" +
                                                 path("listing").toUtf8() + "'\nexec '" + real +
                                                 "' \"$@\"\n"));
        QVERIFY(writeFile(bin + "/settings.dat",
                          "[set]\nprofile=2\noutputfolder=" + path("out").toUtf8() + "\n"));
        QVERIFY(makeClip(path("a.avi"), 1, "64x48"));
        QVERIFY(makeClip(path("b.avi"), 20, "640x360"));

        QProcess first;
        first.setStandardInputFile(QProcess::nullDevice());
        first.start(bin + "/clipwright", {path("a.avi"), path("b.avi")});
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
    }
};

QTEST_GUILESS_MAIN(TestCrashRestore)
#include "tst_CrashRestore.moc"
