#include "../TestSupport.h"

#include <csignal>

class TestCliCapture : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_cli = CLIPWRIGHT_BIN_DIR "/clipwright-cli";
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    // The counter's decimal separator is the locale's.
    void initTestCase() { qputenv("LC_ALL", "C.UTF-8"); }

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
        QProcess cli;
        cli.start(m_cli, {"--capture", "lavfi:testsrc", "--output", out});
        QTRY_VERIFY_WITH_TIMEOUT(QDir(m_dir.path())
                                         .entryInfoList({".cw-*.avi"}, QDir::Files | QDir::Hidden)
                                         .value(0)
                                         .size() > 20000,
                                 30000);
        ::kill(pid_t(cli.processId()), SIGINT);
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitCode(), 0);
        const QString printed = cli.readAllStandardOutput();
        QVERIFY2(printed.startsWith(out + "\n") && printed.contains(" frames (0 dropped) - "),
                 qPrintable(printed));
        QVERIFY(duration(out) > 0.3);
    }

    void listDevicesWithTheTestCamera()
    {
        QProcess cli;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("CLIPWRIGHT_TEST_CAMERA", "testsrc=rate=25");
        cli.setProcessEnvironment(environment);
        cli.start(m_cli, {"--list-devices"});
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitCode(), 0);
        QVERIFY(cli.readAllStandardOutput().endsWith(
            "lavfi:testsrc=rate=25\tTest picture (testsrc=rate=25)\n"));
    }
};

QTEST_MAIN(TestCliCapture)
#include "tst_CliCapture.moc"
