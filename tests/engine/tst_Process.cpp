#include "engine/Process.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <cerrno>
#include <csignal>

using State = Process::State;

class TestProcess : public QObject
{
    Q_OBJECT

private slots:
    void runs_data();
    void runs();
    void releaseEndsTheChild();
};

void TestProcess::runs_data()
{
    QTest::addColumn<bool>("async");
    QTest::addColumn<QStringList>("command");
    QTest::addColumn<int>("abortRC"); // -1: no Abort
    QTest::addColumn<State>("state");
    QTest::addColumn<int>("rc");
    QTest::addColumn<QByteArray>("output");

    // 300 kB written just before the exit: far more than the pipe holds.
    const QByteArray big = QByteArray(300000, 'x') + "END";
    for (const bool async : {false, true}) {
        const auto row = [async](const char *name, const char *command, int abortRC, State state,
                                 int rc, const QByteArray &output) {
            QTest::addRow("%s %s", async ? "async" : "waiting", name)
                << async << QProcess::splitCommand(QString::fromUtf8(command)) << abortRC << state
                << rc << output;
        };
        row("silent", "true", -1, State::Exited, 0, "");
        row("exit code 3", "sh -c \"exit 3\"", -1, State::Exited, 3, "");
        row("output left at exit", "sh -c \"head -c 300000 /dev/zero | tr '\\0' x; printf END\"",
            -1, State::Exited, 0, big);
        row("stderr merged", "sh -c \"echo out; echo err >&2\"", -1, State::Exited, 0,
            "out\nerr\n");
        row("one argument", "printf %s| \"-a b \"\"\"c\"\"\" é\"", -1, State::Exited, 0,
            "-a b \"c\" \xc3\xa9|");
        row("crash", "sh -c \"kill -KILL $$\"", -1, State::Crashed, 128 + SIGKILL, "");
        row("aborted", "sh -c \"echo started; exec sleep 30\"", 0, State::Aborted, 0, "started\n");
        row("aborted with a code", "sleep 30", 7, State::Aborted, 7, "");
        row("missing program", "/nonexistent/program", -1, State::FailedToStart, 0, "");
        row("no program", "", -1, State::FailedToStart, 0, "");
    }
}

void TestProcess::runs()
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

void TestProcess::releaseEndsTheChild()
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
        QCOMPARE(::kill(static_cast<pid_t>(pid), 0), -1);
        QCOMPARE(errno, ESRCH);
    }
}

QTEST_GUILESS_MAIN(TestProcess)
#include "tst_Process.moc"
