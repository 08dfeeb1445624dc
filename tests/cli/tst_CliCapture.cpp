#include "../TestSupport.h"

#include <csignal>

class TestCliCapture : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_cli = CLIPWRIGHT_BIN_DIR "/clipwright-cli";
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void initTestCase()
    {
        qputenv("LC_ALL", "C.UTF-8"); // the counter's decimal separator is the locale's
        qputenv("CLIPWRIGHT_TEST_CAMERA", "testsrc=rate=25");
    }

    // The recording itself, its frames and its part file are tst_CaptureFfmpeg's;
    // here: what the command prints and how it exits.
    void capture_data()
    {
        // ctrlC: sent once a recording has begun; out: a piece of standard
        // output ("": none); err: how standard error begins ("": empty)
        addColumns<QStringList, bool, int, QString, QString>("arguments", "ctrlC", "exitCode",
                                                             "out", "err");
        const QString out = path("two seconds.avi"), stopped = path("until stopped.avi");
        const QStringList twoSeconds = {"--capture", "lavfi:testsrc", "--duration",
                                        "2",         "--output",      out};
        newRow("two seconds of the test picture", twoSeconds, false, 0,
               out + "\n50 frames (0 dropped) - 2.00 sec.\n", "");
        newRow("an existing output is refused", twoSeconds, false, 1, "",
               "clipwright-cli: " + out + " exists already; give another --output\n");
        newRow("Ctrl+C finishes the file",
               QStringList{"--capture", "lavfi:testsrc", "--output", stopped}, true, 0,
               stopped + "\n", "");
        newRow("FFmpeg's reason",
               QStringList{"--capture", "lavfi:nosuchsource", "--output", path("x.avi")}, false, 1,
               "", "clipwright-cli: The capture did not start: ");
        newRow("not an AVI name", QStringList{"--capture", "dv", "--output", path("x.mp4")}, false,
               2, "", "clipwright-cli: --capture needs --output FILE.avi\n");
        newRow("the test camera is listed", QStringList{"--list-devices"}, false, 0,
               "lavfi:testsrc=rate=25\tTest picture (testsrc=rate=25)\n", "");
    }
    void capture()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, ctrlC);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const CliResult r = runCli(m_cli, arguments, [&](qint64 pid) {
            QTRY_VERIFY_WITH_TIMEOUT(
                !ctrlC || QDir(m_dir.path())
                                  .entryInfoList({".cw-*"}, QDir::Files | QDir::Hidden)
                                  .value(0)
                                  .size() > 20000,
                30000);
            if (ctrlC)
                ::kill(pid_t(pid), SIGINT);
        });
        QTEST(r.exitCode, "exitCode");
        QVERIFY2(out.isEmpty() ? r.out.isEmpty() : r.out.contains(out), qPrintable(r.out));
        QVERIFY2(err.isEmpty() ? r.err.isEmpty() : r.err.startsWith(err), qPrintable(r.err));
    }
};

QTEST_MAIN(TestCliCapture)
#include "tst_CliCapture.moc"
