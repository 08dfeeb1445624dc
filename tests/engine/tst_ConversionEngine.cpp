#include "../TestSupport.h"
#include "app/ConversionList.h"
#include "app/OptionSheet.h"
#include "engine/ConversionEngine.h"
#include "process/KeyChannel.h"
#include "settings/IniFile.h"

#include <csignal>

namespace {

QStringList g_events; // what the user would see, in order

// The bits of a /proc/PID/status mask line ("SigIgn:\t0000000000001000").
quint64 maskLine(const QByteArray &status, const char *name)
{
    const qsizetype at = status.indexOf(name);
    return at < 0 ? ~0ull : status.mid(at + qstrlen(name) + 1, 16).toULongLong(nullptr, 16);
}

} // namespace

class TestConversionEngine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_out, m_short = m_dir.filePath("short clip.avi"),
                   m_long = m_dir.filePath("long clip.avi"),
                   m_standIn = m_dir.filePath("stand-in-ffmpeg");
    std::unique_ptr<ConversionList> m_list;
    std::unique_ptr<OptionSheet> m_sheet;
    std::unique_ptr<KeyChannel> m_keys;
    RecordingServices m_services{g_events};
    std::unique_ptr<ConversionEngine> m_engine;
    std::unique_ptr<QSignalSpy> m_rows; // rowFinished

    void setSetting(const char *key, const QString &value)
    {
        QVERIFY(WriteIniValue(m_dir.filePath("settings.dat"), "set", key, value));
    }
    void makeEngine(const QString &ffmpeg)
    {
        m_engine = std::make_unique<ConversionEngine>(
            *m_list, *m_sheet, *m_keys, m_services, m_services,
            ConversionEngine::Environment{ffmpeg, resolveProgram("ffprobe"),
                                          m_dir.filePath("curconvert.log"),
                                          m_dir.filePath("settings.dat"), m_dir.path(),
                                          [] { return QString("001.  MP4 H264 (*.mp4)"); }});
        m_engine->setGracePeriod(5000);
        m_rows = std::make_unique<QSignalSpy>(m_engine.get(), &ConversionEngine::rowFinished);
        connect(m_engine.get(), &ConversionEngine::message, this,
                [](const QString &text, MessageIcon icon) {
                    g_events << (icon == MessageIcon::Critical ? "critical: " : "info: ") + text;
                });
        connect(m_engine.get(), &ConversionEngine::panelVisibleChanged, this,
                [](bool shown) { g_events << (shown ? "panel shown" : "panel hidden"); });
    }
    int append(const QString &source, const QString &end = "0:00:02")
    {
        const int row = m_list->append(source);
        (void)m_list->setField(row, ConversionItem::Field::Start, "0:00:00");
        (void)m_list->setField(row, ConversionItem::Field::End, end);
        return row;
    }
    // Appends the sources as two-second clips, runs the batch and tells how it
    // ended and the status of every row: "Completed: OK|Fail".
    QString convert(const QStringList &sources)
    {
        for (const QString &source : sources)
            append(source);
        QSignalSpy finished(m_engine.get(), &ConversionEngine::batchFinished);
        if (!m_engine->BurnNow())
            return "not started";
        if (finished.isEmpty() && !finished.wait(60000))
            return "no end";
        QStringList statuses;
        for (int row = 1; row <= m_list->count(); ++row)
            statuses << m_list->row(row)->Status;
        const char *outcomes[] = {"Completed", "Cancelled", "InvalidInput"};
        return outcomes[int(finished.first().first().value<BatchOutcome>())] +
               (": " + statuses.join('|'));
    }
    // Why the finished row `i` (in finishing order) ended as it did.
    QString reason(int i = 0) const
    {
        return i < m_rows->size() ? m_rows->at(i).at(4).toString() : "";
    }
    QStringList outputFolder() const
    {
        return QDir(m_out).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }
    // Some of a minute-long clip, not all of it.
    static bool isPartial(double seconds) { return seconds > 0 && seconds < 59; }
    // An engine whose FFmpeg is the shell script `body`, at m_standIn.
    void useStandIn(const QByteArray &body)
    {
        QVERIFY(writeScript(m_standIn, body));
        makeEngine(m_standIn);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(makeClip(m_short, 2, "320x240", "mp2") && makeClip(m_long, 60, "320x240", "mp2"));
    }

    void init()
    {
        g_events.clear();
        m_out = m_dir.filePath(QString("out%1").arg(QRandomGenerator::global()->generate()));
        QVERIFY(QDir().mkpath(m_out));
        QFile::remove(m_dir.filePath("settings.dat"));
        setSetting("outputfolder", m_out);
        setSetting("thread", "2");
        setSetting("jobs", "1"); // one row at a time unless a test says otherwise
        m_engine.reset();
        m_list = std::make_unique<ConversionList>();
        m_sheet = std::make_unique<OptionSheet>();
        m_sheet->prolist();
        QVERIFY(m_sheet->setValue("Video Options", "Video Codec", "x264") &&
                m_sheet->setValue("Video Options", "Video Framerate", "25") &&
                m_sheet->setValue("Audio Options", "Audio Codec", "aac"));
        m_keys = std::make_unique<KeyChannel>();
        makeEngine(resolveProgram("ffmpeg"));
    }

    // A source gone when its row's turn comes stops the batch; row 1, beside
    // it, converts to its end.
    void missingSourceStopsTheBatch()
    {
        setSetting("jobs", "2");
        const QString gone = m_dir.filePath("gone.avi");
        QVERIFY(QFile::copy(m_short, gone));
        for (const QString &source : {m_short, gone, m_short})
            append(source);
        QVERIFY(m_list->setField(3, ConversionItem::Field::Status, "old"));
        QVERIFY(QFile::remove(gone));
        QCOMPARE(convert({}), QString("InvalidInput: OK||old"));
        QCOMPARE(g_events, QStringList({"panel shown", "critical: Invalid input file name. " + gone,
                                        "panel hidden"}));
    }

    // Cancel 1.5 s into row 2: one row at a time after a finished row, or
    // two side by side, which it stops at once with one message. Under
    // "Overwrite" no partial file replaces a complete one.
    void cancelDuringSecondRow_data()
    {
        addColumns<QString, QString, QStringList>("jobs", "expected", "outputs");
        newRow("one at a time", "1", "Cancelled: OK|Cancel|",
               QStringList{"long clip.mp4", "long clip_New.mp4", "short clip.mp4"});
        newRow("two at a time", "2", "Cancelled: Cancel|Cancel|",
               QStringList{"long clip.mp4", "long clip_New.mp4", "long clip_New_New.mp4"});
    }
    void cancelDuringSecondRow()
    {
        QFETCH(QString, jobs);
        QFETCH(QStringList, outputs);
        setSetting("jobs", jobs);
        setSetting("existedfile", "1");
        QVERIFY(writeFile(m_out + "/long clip.mp4", "complete"));
        append(jobs == "1" ? m_short : m_long, jobs == "1" ? "0:00:02" : "0:01:00");
        append(m_long, "0:01:00");
        append(m_short);
        connect(m_engine.get(), &ConversionEngine::rowStarted, this, [this](quint64 id) {
            if (id == m_list->idAt(2))
                QTimer::singleShot(1500, m_engine.get(), &ConversionEngine::cancel);
        });
        QTEST(convert({}), "expected");
        QCOMPARE(g_events, QStringList({"panel shown", "critical: Conversion Canceled by the user!",
                                        "panel hidden"}));
        // Convert at once: refused while the cancelled FFmpeg closes its file.
        QVERIFY(m_engine->isBusy() && !m_engine->isRunning() && !m_engine->BurnNow());
        QTRY_VERIFY_WITH_TIMEOUT(!m_engine->isBusy(), 30000);
        QCOMPARE(readFile(m_out + "/long clip.mp4"), QByteArray("complete"));
        QCOMPARE(outputFolder(), outputs);
        for (const QString &name : outputs.filter("_New"))
            QVERIFY2(isPartial(duration(m_out + "/" + name)), qPrintable(name));
        // The second row to end is a cancelled one in either case.
        QVERIFY2(reason(1).contains("saved as " + m_out + "/long clip_New"), qPrintable(reason(1)));
        m_engine->cancel(); // nothing runs: changes nothing
        m_list->clear();
        QCOMPARE(convert({m_short}), QString("Completed: OK")); // a new run is accepted
    }

    // Two slots: rows start in list order as slots free up; each FFmpeg has
    // its own statistics file, key entry and share of the threads; a name is
    // fixed when its row starts, whatever order the rows finish in.
    void sideBySide()
    {
        setSetting("jobs", "2");
        // Three rows of one name; row 2 is a short clip of that name.
        const QString second = m_dir.filePath("b/long clip.avi");
        QVERIFY(QDir().mkpath(m_dir.filePath("b")) &&
                (QFile::exists(second) || QFile::copy(m_short, second)));
        append(m_long, "0:01:00"); // "q" ends it while row 3 runs beside it
        append(second);            // ends first; its name is still the second
        append(m_long, "0:00:20");
        QHash<quint64, QString> commands;
        connect(m_engine.get(), &ConversionEngine::rowWriting, this,
                [&](quint64 id, const QString &, const QString &, const QString &command) {
                    commands.insert(id, command);
                });
        // Row 1 gets its "q" once row 3 runs beside it and row 1 has shown a
        // percent of its own, whichever comes last (no fixed wait).
        QSet<quint64> ownPercent;
        bool thirdStarted = false, sent = false;
        const auto stopFirst = [&] {
            if (sent || !thirdStarted || !ownPercent.contains(m_list->idAt(1)))
                return;
            sent = true;
            const qint64 pid = m_engine->run().ConverterProcessId.value(m_list->idAt(1));
            QVERIFY(pid > 0 && m_engine->run().ConverterProcessId.size() == 2);
            QVERIFY(m_keys->SendKeyToConverter(pid, KeyChannel::KeyQ));
        };
        connect(m_engine.get(), &ConversionEngine::rowProgressChanged, this, [&](quint64 id) {
            ownPercent.insert(id);
            stopFirst();
        });
        connect(m_engine.get(), &ConversionEngine::rowStarted, this, [&](quint64 id) {
            thirdStarted = thirdStarted || id == m_list->idAt(3);
            stopFirst();
        });
        QCOMPARE(convert({}), QString("Completed: Fail|OK|OK")); // row 1 failed: it got its "q"
        const QString statistics[] = {m_dir.filePath("curconvert.log"),
                                      m_dir.filePath("curconvert-2.log")};
        for (int row : {1, 2, 3}) {
            const QString command = commands.value(m_list->idAt(row));
            QVERIFY2(command.contains("\"" + statistics[row == 1 ? 0 : 1] + "\"") &&
                         command.contains(" -threads 1 "),
                     qPrintable(command));
        }
        QVERIFY(isPartial(duration(m_out + "/long clip.mp4")));
        QVERIFY(qAbs(duration(m_out + "/long clip_New.mp4") - 2) < 0.3);
        QVERIFY(qAbs(duration(m_out + "/long clip_New_New.mp4") - 20) < 0.3); // got no "q"
        QCOMPARE(outputFolder().size(), 3);
    }

    void cancelledFfmpegThatIgnoresQ()
    {
        // clipwright-cli blocks these in itself; its children must not inherit that.
        sigset_t termination;
        sigemptyset(&termination);
        sigaddset(&termination, SIGINT);
        sigaddset(&termination, SIGTERM);
        pthread_sigmask(SIG_BLOCK, &termination, nullptr);
        // An FFmpeg that reads no keys, so that only terminate() can end it;
        // it notes the signal masks it started with. Shell builtins only: a
        // forked grep would see the shell's mask while it waits.
        useStandIn("while read -r l; do case $l in Sig*) echo \"$l\";; esac; done < "
                   "/proc/$$/status > \"$0.status\"\nexec " +
                   resolveProgram("ffmpeg").toUtf8() + " -nostdin \"$@\"\n");
        m_engine->setGracePeriod(1000);
        setSetting("existedfile", "1");
        const QString target = m_out + "/long clip.mp4";
        QVERIFY(writeFile(target, "keep me"));

        append(m_long, "0:01:00");
        QSignalSpy percent(m_engine.get(), &ConversionEngine::itemProgressChanged);
        QVERIFY(m_engine->BurnNow());
        // Cancelled once it converts.
        QTRY_VERIFY_WITH_TIMEOUT(firstArguments(percent).value(percent.size() - 1) > 0, 10000);
        m_engine->cancel();
        QTRY_VERIFY_WITH_TIMEOUT(!m_engine->isBusy(), 30000);
        pthread_sigmask(SIG_UNBLOCK, &termination, nullptr);

        const QByteArray status = readFile(m_standIn + ".status");
        const quint64 mustReach =
            (1ull << (SIGINT - 1)) | (1ull << (SIGTERM - 1)) | (1ull << (SIGPIPE - 1));
        QCOMPARE(maskLine(status, "SigBlk:"), 0ull);
        QCOMPARE(maskLine(status, "SigIgn:") & mustReach, 0ull);
        // Terminated, not finished by itself: its file is dropped, the old one kept.
        QCOMPARE(readFile(target), QByteArray("keep me"));
        QCOMPARE(outputFolder(), QStringList({"long clip.mp4"}));
        QCOMPARE(m_list->row(1)->Status, QString("Cancel"));
    }

    // An FFmpeg that reports 5 s encoded, then ends at the first key it
    // reads and notes it. A cancel before it has started still reaches it; a
    // clip of 0:00:10-0:00:20 is half done at 5 s; closing the program sends
    // "q" and lets it end by itself.
    void keysAndClipPercent()
    {
        useStandIn("printf 'frame=1 time=00:00:05.00 speed=1x\\r' >&2\nhead -c 1 >> \"$0.keys\"\n");
        QVERIFY(
            m_list->setField(append(m_long, "0:00:20"), ConversionItem::Field::Start, "0:00:10"));
        QVERIFY(m_engine->BurnNow());
        m_engine->cancel(); // "q" is buffered until FFmpeg's stdin is open
        QTRY_VERIFY_WITH_TIMEOUT(!m_engine->isBusy(), 30000);
        QCOMPARE(readFile(m_standIn + ".keys"), QByteArray("q"));
        QCOMPARE(outputFolder(), QStringList()); // no part file left
        QSignalSpy percent(m_engine.get(), &ConversionEngine::itemProgressChanged);
        QVERIFY(m_engine->BurnNow());
        QTRY_VERIFY_WITH_TIMEOUT(firstArguments(percent).value(percent.size() - 1) > 0, 10000);
        QCOMPARE(firstArguments(percent).last(), 50);
        m_engine.reset(); // as when the program ends
        QCOMPARE(readFile(m_standIn + ".keys"), QByteArray("qq"));
    }

    // A row FFmpeg cannot read fails and the batch goes on. Rows removed
    // while it runs are passed over; a row added waits for the next batch.
    void listChangesDuringTheBatch()
    {
        const QString junk = m_dir.filePath("junk.avi");
        QVERIFY(writeFile(junk, QByteArray(5000, 'x')));
        for (const QString &source : {m_short, junk, m_short, m_short})
            append(source);
        const ConversionList::RowId second = m_list->idAt(2), fourth = m_list->idAt(4);
        connect(m_engine.get(), &ConversionEngine::rowStarted, this, [&](quint64 id) {
            if (id != second)
                return;
            m_list->remove(1); // converted already: the rows below move up
            append(m_short);   // waits for the next batch
            m_list->remove(2); // the third row, not converted yet; the fourth still is
        });
        int staleStatistics = 0;
        connect(m_engine.get(), &ConversionEngine::captionChanged, this,
                [&](const QString &caption) {
                    if (caption != "Progress....") // a row starts
                        staleStatistics += QFile::exists(m_dir.filePath("curconvert.log"));
                });
        QSignalSpy total(m_engine.get(), &ConversionEngine::totalProgressChanged);
        setSetting("autoshut", "1"); // switched off before the closing message
        QCOMPARE(convert({}), QString("Completed: Fail|OK|"));
        QVERIFY2(reason(1).contains("junk.avi"), qPrintable(reason(1)));
        QCOMPARE(m_rows->last().at(0).toULongLong(), fourth);
        QCOMPARE(staleStatistics, 0);
        QCOMPARE(firstArguments(total), QList<int>({0, 25, 50, 75, 100, 100, 0}));
        QCOMPARE(g_events, QStringList({"panel shown", "power off", "info: Conversion completed!",
                                        "panel hidden", "open " + m_out}));
        QCOMPARE(outputFolder().size(), 2); // no part file left, nothing of the junk
    }

    // Under "Overwrite": an output name at the 255-byte limit and one past
    // it, an output that would replace its source, which stays as it was, and
    // two rows of one name, of which the second never replaces the first's
    // result.
    void outputNames()
    {
        setSetting("existedfile", "1");
        const QString n = QString(251, 'n'), names = m_dir.filePath("names");
        const QStringList copies = {names + "/" + n + ".a", names + "/" + n + "n.a",
                                    m_out + "/clip.mp4"};
        QVERIFY(QDir().mkpath(names));
        for (const QString &source : copies)
            QVERIFY(QFile::copy(m_short, source));
        QCOMPARE(convert(copies + QStringList{m_short, m_short}),
                 QString("Completed: OK|Fail|Fail|OK|OK"));
        QCOMPARE(outputFolder(),
                 QStringList({"clip.mp4", n + ".mp4", "short clip.mp4", "short clip_New.mp4"}));
        QVERIFY2(reason(1).startsWith("The output file name is longer than 255 bytes"),
                 qPrintable(reason(1)));
        QVERIFY2(reason(2).startsWith("The output file would replace the source file: "),
                 qPrintable(reason(2)));
        QVERIFY2(reason(4).startsWith("Another row of this batch writes"), qPrintable(reason(4)));
        for (const QString &source : copies)
            QCOMPARE(readFile(source), readFile(m_short));
    }

    // Three rows whose verdicts FFmpeg's exit status and summary alone would
    // get wrong. Under "Overwrite", a file of a failed row's name stays as it is.
    void honestVerdicts()
    {
        setSetting("existedfile", "1");
        // Each source's name, how it is made (FFmpeg arguments before its
        // path) and its length as the row knows it.
        const std::tuple<const char *, const char *, const char *> sources[] = {
            // FFmpeg's closing summary says 0 kB, or its last time is 0: ffprobe tells.
            {"tiny", "-f lavfi -i testsrc=rate=25 -frames:v 3 -c:v mjpeg -f avi", "0:00:00"},
            // 10 s, cut in half below: its header still says 10 s.
            {"cut",
             "-f lavfi -i testsrc=size=320x240:rate=25 -t 10 -c:v libx264 -movflags +faststart -f "
             "mp4",
             "0:00:10"},
            // 3 s, which the row thinks is 7 s long; its clip starts at 5 s.
            // FFmpeg ends well with a file that holds no packets.
            {"past", "-f lavfi -i testsrc=size=320x240:rate=25 -t 3 -c:v mpeg4 -f avi", "0:00:07"}};
        for (const auto &[name, make, length] : sources) {
            const QString source = m_dir.filePath(name);
            QStringList arguments = QStringList{"-v", "error", "-y"} + QString(make).split(' ');
            QCOMPARE(run(resolveProgram("ffmpeg"), arguments << source).exitCode, 0);
            QVERIFY(writeFile(m_out + "/" + name + ".mp4", "complete"));
            QVERIFY(
                m_list->setField(append(source, length), ConversionItem::Field::VideoTime, length));
        }
        QVERIFY(QFile::resize(m_dir.filePath("cut"), QFileInfo(m_dir.filePath("cut")).size() / 2));
        QVERIFY(m_list->setField(3, ConversionItem::Field::Start, "0:00:05"));
        QCOMPARE(convert({}), QString("Completed: OK|Fail|Fail"));
        QVERIFY(QFileInfo(m_out + "/tiny.mp4").size() > 100);
        // The written length varies; the part is kept where the reason names it.
        QVERIFY2(reason(1).startsWith("FFmpeg wrote 0:00:0") &&
                     reason(1).endsWith(" of 0:00:10; the source may be damaged or cut short. "
                                        "The part written is " +
                                        m_out + "/cut_New.mp4"),
                 qPrintable(reason(1)));
        QVERIFY(duration(m_out + "/cut_New.mp4") > 2);
        QCOMPARE(reason(2), QString("FFmpeg wrote no audio or video."));
        QCOMPARE(outputFolder(), QStringList({"cut.mp4", "cut_New.mp4", "past.mp4", "tiny.mp4"}));
        for (const char *failed : {"/cut.mp4", "/past.mp4"})
            QCOMPARE(readFile(m_out + failed), QByteArray("complete"));
    }
};

QTEST_GUILESS_MAIN(TestConversionEngine)
#include "tst_ConversionEngine.moc"
