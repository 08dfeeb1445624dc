#include "../SessionSupport.h"
#include "engine/ConversionEngine.h"
#include "store/QueueRecorder.h"
#include "store/QueueStore.h"

#include <csignal>

// The list's records: what a start after an abnormal end makes of them, the
// window's list across such a start, and clipwright-cli --queue killed at
// random moments.
class TestRecords : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void sortingOut_data()
    {
        // A record's status, whether its part file and source exist and
        // what is at its output; what the start makes of it.
        addColumns<QString, bool, QString, bool, QString>("status", "part", "output", "source",
                                                          "expected");
        newRow("waiting", "", false, "none", true, "unfinished");
        newRow("cancelled", "cancelled", false, "other", true, "unfinished");
        newRow("converting, part left", "running", true, "none", true, "interrupted");
        newRow("converting, part left beside a finished size", "running", true, "recorded", true,
               "interrupted");
        newRow("renamed just before the end", "running", false, "recorded", true, "finished");
        newRow("converting, output of another size", "running", false, "other", true,
               "interrupted");
        newRow("done", "ok", false, "recorded", true, "finished");
        newRow("converting, source gone", "running", true, "none", false, "gone");
    }

    void sortingOut()
    {
        QFETCH(QString, status);
        QFETCH(bool, part);
        QFETCH(QString, output);
        QFETCH(bool, source);
        QFETCH(QString, expected);
        const QTemporaryDir dir;
        QueueRecord record;
        record.id = 7;
        record.source = dir.filePath("source.avi");
        record.status = status;
        record.start = "0:00:05";
        record.chosen = 1u << int(ConversionItem::Field::Start);
        record.output = dir.filePath("source.mp4");
        record.part = dir.filePath(".cw-abcdefgh.mp4");
        record.outputSize = 1000;
        if (source)
            QVERIFY(writeFile(record.source, "source"));
        if (part)
            QVERIFY(writeFile(record.part, "part"));
        if (output != "none")
            QVERIFY(writeFile(record.output, QByteArray(output == "recorded" ? 1000 : 10, 'x')));
        // Not in the records, so never touched.
        const QString stranger = dir.filePath(".cw-stranger.mp4");
        QVERIFY(writeFile(stranger, "someone else's"));

        const RecordsOutcome outcome = sortOutRecords({record});
        const QString got = !outcome.finished.isEmpty()      ? "finished"
                            : !outcome.sourceGone.isEmpty()  ? "gone"
                            : !outcome.interrupted.isEmpty() ? "interrupted"
                            : !outcome.unfinished.isEmpty()  ? "unfinished"
                                                             : "lost";
        QCOMPARE(got, expected);
        if (!outcome.unfinished.isEmpty()) { // listed again with the choice, without the past
            const QueueRecord &again = outcome.unfinished[0];
            QVERIFY(again.id == 7 && again.start == "0:00:05" && again.chosen == record.chosen &&
                    again.status.isEmpty());
        }
        QCOMPARE(QFileInfo::exists(record.part), part && status != "running");
        QVERIFY(QFileInfo::exists(stranger));
        QCOMPARE(QFileInfo::exists(record.output), output != "none");
    }

    // The window's list survives an end other than a close by the user;
    // a batch's finished rows and a close by the user clear it.
    void windowList()
    {
        QStringList log;
        RecordingServices services(log);
        const QTemporaryDir dir;
        Session::Setup setup = sessionSetup(dir);
        setup.queueFile = dir.filePath("queue.db");
        const QString gone = dir.filePath("gone.avi"), good = dir.filePath("good.avi"),
                      junk = dir.filePath("junk.avi");
        QVERIFY(makeClip(gone, 1, "64x48") && makeClip(good, 1, "64x48") &&
                writeFile(junk, QByteArray(4096, 'j')));
        const auto start = [&] { return readySession(setup, services); };
        using Field = ConversionList::Field;
        {
            auto session = start();
            session->selectProfile(2);
            for (const QString &file : {gone, good, junk})
                session->AddFileToList(file);
            ConversionList &list = session->files();
            QVERIFY(list.setChosen(2, Field::End, "0:00:01"));
            QVERIFY(list.setChosen(3, Field::Watermark, "/pictures/logo.png;0;Center"));
            QSignalSpy probed(session.get(), &Session::probesFinished);
            QVERIFY(probed.wait(10000));
            QTest::qWait(0); // the list's changes are written from the event loop
        }
        QFile::remove(gone);
        {
            auto session = start();
            const ConversionList &list = session->files();
            QCOMPARE(list.count(), 2);
            QVERIFY(list.row(1)->isChosen(Field::End));
            QCOMPARE(list.row(2)->Watermark, "/pictures/logo.png;0;Center");
            QVERIFY(list.row(2)->isChosen(Field::Watermark));
            QCOMPARE(session->restoredProfile(), 2);
            QCOMPARE(session->recordsMessage(),
                     "Restored 2 unfinished rows of the last run; 1 was left out because its "
                     "source file is gone.");
            session->selectProfile(2);
            QSignalSpy finished(&session->engine(), &ConversionEngine::batchFinished);
            QVERIFY(session->engine().BurnNow());
            QVERIFY(finished.wait(60000));
            QCOMPARE(list.row(1)->Status + " " + list.row(2)->Status, "OK Fail");
        }
        {
            auto session = start(); // the failed row only
            QCOMPARE(session->files().count(), 1);
            QCOMPARE(session->files().row(1)->FileName, junk);
            session->endRecords(false);
        }
        QCOMPARE(start()->files().count(), 0);
    }

    // clipwright-cli --queue killed at random moments, run again each time:
    // the records open, no row is converted twice, and the last run ends
    // with every source OK, one output each and no part file.
    void cliKilledAtRandom()
    {
        const QString cli = installCli(path("bin")), out = path("out");
        QVERIFY(!cli.isEmpty() && QDir().mkpath(out));
        QStringList arguments{"--queue", path("queue.db"), "--output-folder", out}, outputs;
        for (int i = 1; i <= 10; ++i) {
            arguments << path(QString("clip%1.avi").arg(i));
            outputs << QString("clip%1.mp4").arg(i);
            QVERIFY(makeClip(arguments.last(), 1, "64x48"));
        }
        outputs.sort();
        const quint32 seed = qEnvironmentVariableIsSet("CLIPWRIGHT_CRASH_SEED")
                                 ? qEnvironmentVariableIntValue("CLIPWRIGHT_CRASH_SEED")
                                 : QRandomGenerator::global()->generate();
        QRandomGenerator random(seed);
        const QByteArray context = "seed " + QByteArray::number(seed);
        // The records open, and no row was converted twice: under "add _New",
        // the default, a second conversion shows as a _New name.
        const auto checkFinished = [&] {
            QueueStore store;
            const QueueStore::Opening opening = store.open(path("queue.db"));
            if (opening.outcome != QueueStore::Outcome::Opened)
                return QByteArray("the records do not open: ") + opening.message.toUtf8();
            if (const QStringList twice = QDir(out).entryList({"*_New*"}); !twice.isEmpty())
                return QByteArray("converted twice: ") + twice.join(' ').toUtf8();
            return QByteArray();
        };
        for (int round = 0; round < 20; ++round) {
            QProcess process;
            process.setStandardInputFile(QProcess::nullDevice());
            process.setStandardOutputFile(QProcess::nullDevice());
            process.setStandardErrorFile(QProcess::nullDevice());
            process.start(cli, arguments);
            QVERIFY2(process.waitForStarted(), context);
            // Killed at a random moment, unless it ends before: once every
            // row is done, a run ends at once.
            process.waitForFinished(int(random.bounded(1600)));
            if (const qint64 pid = process.processId(); pid > 0) // 0 would be this process group
                ::kill(pid_t(pid), SIGKILL);
            process.waitForFinished();
            const QByteArray problem = checkFinished();
            QVERIFY2(problem.isEmpty(),
                     context + " round " + QByteArray::number(round) + ": " + problem);
        }
        const RunResult last = run(cli, arguments);
        QVERIFY2(last.exitCode == 0, context + "\n" + last.output);
        QCOMPARE(last.output.count("OK\t"), 10);
        QVERIFY2(checkFinished().isEmpty(), context);
        // One output each, and no part file.
        const auto kept = [&out] { return QDir(out).entryList(QDir::Files | QDir::Hidden); };
        QTRY_VERIFY2(kept() == outputs, context + " " + kept().join(' ').toUtf8());
        // With another option, a row recorded OK is converted again.
        const RunResult changed =
            run(cli, arguments.mid(0, 4) +
                         QStringList{"--set", "Video Options/Video Size=32x24", arguments.last()});
        QVERIFY2(changed.exitCode == 0 && !changed.output.contains("(done before)"),
                 changed.output);
    }
};

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_Records.moc"
