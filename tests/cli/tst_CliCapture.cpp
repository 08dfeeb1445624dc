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

    void capture_data()
    {
        addColumns<QStringList, int, QString, QString>("arguments", "exitCode", "out", "err");
        const QString out = path("two seconds.avi");
        newRow("two seconds of the test picture",
               QStringList{"--capture", "lavfi:testsrc", "--duration", "2", "--output", out}, 0,
               out + "\n50 frames (0 dropped) - 2.00 sec.\n", QString());
        newRow("an existing output is refused",
               QStringList{"--capture", "lavfi:testsrc", "--duration", "2", "--output", out}, 1,
               QString(), "clipwright-cli: " + out + " exists already; give another --output\n");
        newRow("FFmpeg's reason",
               QStringList{"--capture", "lavfi:nosuchsource", "--output", path("x.avi")}, 1,
               QString(), "clipwright-cli: The capture did not start: ");
        newRow("unknown device", QStringList{"--capture", "cam0", "--output", path("x.avi")}, 1,
               QString(), "clipwright-cli: unknown device \"cam0\"");
        newRow("not an AVI name", QStringList{"--capture", "dv", "--output", path("x.mp4")}, 2,
               QString(), "clipwright-cli: --capture needs --output FILE.avi\n");
    }
    void capture()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, err);
        const RunResult r = run(m_cli, arguments);
        const QString output = QString::fromLocal8Bit(r.output);
        QTEST(r.exitCode, "exitCode");
        QVERIFY2(err.isEmpty() ? !output.contains("clipwright-cli:") : output.startsWith(err),
                 qPrintable(output));
        QFETCH(QString, out);
        if (out.isEmpty())
            return;
        QCOMPARE(output, out);
        QCOMPARE(duration(path("two seconds.avi")), 2.0);
        QCOMPARE(QDir(m_dir.path()).entryList(QDir::Hidden | QDir::Files),
                 QStringList{"two seconds.avi"});
    }

    void ctrlCFinishesTheFile()
    {
        const QString out = path("until stopped.avi");
        const CliResult r =
            runCli(m_cli, {"--capture", "lavfi:testsrc", "--output", out}, [&](qint64 pid) {
                QTRY_VERIFY_WITH_TIMEOUT(
                    QDir(m_dir.path())
                            .entryInfoList({".cw-*.avi"}, QDir::Files | QDir::Hidden)
                            .value(0)
                            .size() > 20000,
                    30000);
                ::kill(pid_t(pid), SIGINT);
            });
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.out.startsWith(out + "\n") && r.out.contains(" frames (0 dropped) - "),
                 qPrintable(r.out));
        QVERIFY(duration(out) > 0.3);
    }

    void listDevicesWithTheTestCamera()
    {
        const CliResult r = runCli(m_cli, {"--list-devices"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.endsWith("lavfi:testsrc=rate=25\tTest picture (testsrc=rate=25)\n"));
    }
};

QTEST_MAIN(TestCliCapture)
#include "tst_CliCapture.moc"
