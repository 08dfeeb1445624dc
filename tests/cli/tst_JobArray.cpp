#include "../TestSupport.h"

#include <csignal>

// The job-array script run as Slurm runs its tasks: one process per index
// with SLURM_ARRAY_TASK_ID set, two at a time.
class TestJobArray : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString m_cli = path("bin/clipwright-cli");
    QString m_script = path("array/clipwright.sbatch");
    QStringList m_sources;

    QProcess *startTask(int index)
    {
        auto *task = new QProcess(this);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("SLURM_ARRAY_TASK_ID", QString::number(index));
        task->setProcessEnvironment(environment);
        task->setChildProcessModifier([] { ::setpgid(0, 0); });
        task->start("sh", {m_script});
        return task;
    }
    static int finished(QProcess *task)
    {
        task->waitForFinished(120000);
        return task->exitStatus() == QProcess::NormalExit ? task->exitCode() : -1;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(path("m")));
        QCOMPARE(installCli(path("bin")), m_cli);
        // Names a script or a tab-separated list could break on; the last
        // row is long enough to be stopped while it converts.
        for (const char *name : {"-lead.avi", "it's $x; a\"b.avi", "two\nlines.avi", "-lead.mkv"})
            m_sources << path("m/") + name;
        m_sources << path("m/long.avi");
        for (const QString &source : m_sources)
            QVERIFY(makeClip(source, source.endsWith("long.avi") ? 8 : 2,
                             source.endsWith("long.avi") ? "1280x720" : "160x120"));
    }

    void arrayThenCollect_data()
    {
        addColumns<int>("signalNumber");
        newRow("SIGTERM, as Slurm ends a task", SIGTERM);
        newRow("SIGKILL", SIGKILL);
    }
    void arrayThenCollect()
    {
        QFETCH(int, signalNumber);
        for (const char *folder : {"array", "out"})
            QVERIFY(QDir(path(folder)).removeRecursively());
        QVERIFY(QDir().mkpath(path("out")));
        const QStringList array = {"--slurm-array", path("array"), "--jobs",          "2",
                                   "--profile",     "2",           "--output-folder", path("out")};
        const CliResult written = runCli(m_cli, array + m_sources);
        QCOMPARE(written.exitCode, 0);
        QVERIFY(written.out.contains("Submit with: sbatch '" + m_script + "'"));
        QVERIFY(readFile(m_script).contains("#SBATCH --array=1-5%2\n"));
        // A second batch never mixes its results with the first's.
        QCOMPARE(runCli(m_cli, {"--slurm-array", path("array"), m_sources[0]}).exitCode, 1);

        // Rows 1-4 two at a time; row 5 is stopped while it converts.
        for (int index = 1; index <= 3; index += 2) {
            QProcess *a = startTask(index), *b = startTask(index + 1);
            QCOMPARE(finished(a), 0);
            QCOMPARE(finished(b), 0);
        }
        QProcess *stopped = startTask(5);
        QVERIFY(QTest::qWaitFor([&] { return QFileInfo(path("array/stats/5.log")).size() > 0; },
                                60000));
        ::kill(-pid_t(stopped->processId()), signalNumber);
        QVERIFY(finished(stopped) != 0);
        QVERIFY(!QFileInfo::exists(path("out/long.mp4")));
        const CliResult waiting = runCli(m_cli, {"--collect", path("array")});
        QCOMPARE(waiting.exitCode, signalNumber == SIGTERM ? 1 : 3);
        QVERIFY2(waiting.out.endsWith((signalNumber == SIGTERM ? "Cancel\t" : "Waiting\t") +
                                      m_sources[4] + "\t" + path("out/long.mp4") + "\n"),
                 qPrintable(waiting.out));

        // Submitted again: the rows that are OK pass at once, row 5 converts.
        for (int index = 1; index <= 5; ++index)
            QCOMPARE(finished(startTask(index)), 0);
        const CliResult collected = runCli(m_cli, {"--collect", path("array")});
        QCOMPARE(collected.exitCode, 0);
        QCOMPARE(collected.out.count("OK\t"), 5);
        QVERIFY(collected.out.contains("\t" + path("out/two\\nlines.mp4") + "\n"));
        QVERIFY(collected.out.contains("\t" + path("out/-lead_New.mp4") + "\n"));
        // No part file of the stopped try stays behind.
        QCOMPARE(QDir(path("out")).entryList(QDir::Files | QDir::Hidden).size(), 5);
    }
};

QTEST_GUILESS_MAIN(TestJobArray)
#include "tst_JobArray.moc"
