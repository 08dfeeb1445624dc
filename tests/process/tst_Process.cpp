#include "../TestSupport.h"
#include "process/ChildProcess.h"
#include "process/Process.h"

#include <cerrno>
#include <csignal>

using State = Process::State;

class TestProcess : public QObject
{
    Q_OBJECT

private slots:
    void runs_data()
    {
        // abortRC -1: no Abort
        addColumns<bool, QStringList, int, State, int, QByteArray>("async", "command", "abortRC",
                                                                   "state", "rc", "output");

        // 300 kB written just before the exit: far more than the pipe holds.
        const QByteArray big = QByteArray(300000, 'x') + "END";
        for (const bool async : {false, true}) {
            const auto row = [async](const char *name, const char *command,
                                     const QByteArray &output, State state = State::Exited,
                                     int rc = 0, int abortRC = -1) {
                QTest::addRow("%s %s", async ? "async" : "waiting", name)
                    << async << QProcess::splitCommand(QString::fromUtf8(command)) << abortRC
                    << state << rc << output;
            };
            row("exit code 3", "sh -c \"exit 3\"", "", State::Exited, 3);
            row("output left at exit",
                "sh -c \"head -c 300000 /dev/zero | tr '\\0' x; printf END\"", big);
            row("stderr merged", "sh -c \"echo out; echo err >&2\"", "out\nerr\n");
            row("one argument", "printf %s| \"-a b \"\"\"c\"\"\" é\"", "-a b \"c\" \xc3\xa9|");
            row("crash", "sh -c \"kill -KILL $$\"", "", State::Crashed, 128 + SIGKILL);
            row("aborted", "sh -c \"echo started; exec sleep 30\"", "started\n", State::Aborted, 0,
                0);
            row("aborted with a code", "sleep 30", "", State::Aborted, 7, 7);
            row("missing program", "/nonexistent/program", "", State::FailedToStart);
            row("no program", "", "", State::FailedToStart);
        }
    }

    void runs()
    {
        QFETCH(bool, async);
        QFETCH(QStringList, command);
        QFETCH(int, abortRC);
        QFETCH(State, state);

        Process process;
        process.setCmdLine(command.value(0));
        process.setParameters(command.mid(1));
        process.setAsync(async);
        QSignalSpy finished(&process, &Process::Finished);
        QString streamed;
        connect(&process, &Process::StdOutChanged, this,
                [&](const QString &text) { streamed += text; });
        if (abortRC >= 0)
            QTimer::singleShot(300, &process, [&] { process.Abort(abortRC); });
        process.Launch();
        const bool starts = state != State::FailedToStart;
        QCOMPARE(process.IsActive(), async && starts);
        if (async && starts)
            QVERIFY(finished.wait(5000));
        process.Abort(); // nothing runs any more: no second Finished
        QTest::qWait(50);
        QCOMPARE(process.state(), state);
        QTEST(process.RC(), "rc");
        QTEST(process.StdOutBytes(), "output");
        QCOMPARE(streamed, process.StdOut());
        QCOMPARE(finished.count(), starts ? 1 : 0);
        QCOMPARE(process.errorString().isEmpty(), starts);
    }

    void releaseEndsTheChild()
    {
        for (const bool async : {true, false}) { // false: released inside a waiting Launch
            auto *process = new Process;
            process->setCmdLine("sleep");
            process->setParameters({"30"});
            process->setAsync(async);
            qint64 pid = 0;
            QTimer::singleShot(200, [&] {
                pid = process->processId();
                delete process;
            });
            process->Launch();
            QTRY_VERIFY(pid > 0);
            QVERIFY(::kill(static_cast<pid_t>(pid), 0) == -1 && errno == ESRCH);
        }
    }

    void stopping_data()
    {
        // steps: how far the stop went: 0 the key, 1 SIGTERM, 2 SIGKILL
        addColumns<bool, QString, int>("waiting", "script", "steps");
        for (const bool waiting : {false, true}) {
            const auto row = [waiting](const char *name, const char *script, int steps) {
                QTest::addRow("%s %s", waiting ? "waiting" : "async", name)
                    << waiting << QString(script) << steps;
            };
            row("obeys the key", "echo; head -c 1 >/dev/null", 0);
            row("ignores the key", "trap '' INT; echo; exec cat >/dev/null", 1);
            row("ignores SIGTERM too", "trap '' INT TERM; echo; exec cat >/dev/null", 2);
            row("started a child", "sleep 100 & echo; wait", 1);
        }
    }
    void stopping()
    {
        QFETCH(bool, waiting);
        QFETCH(QString, script);
        QFETCH(int, steps);
        constexpr int grace = 300, wait = ChildTerminateWaitMs;
        QProcess child;
        prepareChild(child);
        child.start("sh", {"-c", script});
        QVERIFY(child.waitForReadyRead()); // its traps are set
        const pid_t group = pid_t(child.processId());
        QSignalSpy finished(&child, &QProcess::finished);
        QElapsedTimer clock;
        clock.start();
        waiting ? stopChildAndWait(child, "q", grace) : stopChild(child, "q", grace);
        QVERIFY(finished.count() == 1 || finished.wait(grace + 2 * wait));
        const qint64 took = clock.elapsed();
        const int ending[] = {0, SIGTERM, SIGKILL}, from[] = {0, grace, grace + wait};
        QCOMPARE(child.exitStatus() == QProcess::CrashExit ? child.exitCode() : 0, ending[steps]);
        // Each step comes after the one before has had its time, not sooner;
        // how the child ended shows that no step came too late.
        QVERIFY2(took >= from[steps] * 9 / 10, qPrintable(QString::number(took)));
        QTRY_VERIFY_WITH_TIMEOUT(::kill(-group, 0) == -1 && errno == ESRCH, 2000);
    }
};

QTEST_GUILESS_MAIN(TestProcess)
#include "tst_Process.moc"
