#include "../TestSupport.h"
#include "app/ConversionList.h"
#include "app/OptionSheet.h"
#include "engine/ConversionEngine.h"
#include "engine/KeyChannel.h"
#include "engine/SystemServices.h"
#include "settings/IniFile.h"

#include <csignal>

namespace {

QStringList g_events; // what the user would see, in order

} // namespace

class TestConversionEngine : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_out, m_short = m_dir.filePath("short clip.avi"),
                   m_long = m_dir.filePath("long clip.avi");
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
    // Appends the sources as two-second clips, runs the batch and tells how it
    // ended and the status of every row: "Completed: OK|Fail".
    QString convert(const QStringList &sources)
    {
        for (const QString &source : sources) {
            const int row = m_list->append(source);
            (void)m_list->setField(row, ConversionItem::Field::Start, "0:00:00");
            (void)m_list->setField(row, ConversionItem::Field::End, "0:00:02");
        }
        QSignalSpy finished(m_engine.get(), &ConversionEngine::batchFinished);
        m_engine->BurnNow();
        if (finished.isEmpty() && !finished.wait(60000))
            return "no end";
        QStringList statuses;
        for (int row = 1; row <= m_list->count(); ++row)
            statuses << m_list->row(row)->Status;
        const char *outcomes[] = {"Completed", "Cancelled", "InvalidInput"};
        return outcomes[int(finished.first().first().value<BatchOutcome>())] +
               (": " + statuses.join('|'));
    }
    // Why the first finished row ended as it did.
    QString firstReason() const
    {
        return m_rows->isEmpty() ? "" : m_rows->first().at(4).toString();
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
        m_engine.reset();
        m_list = std::make_unique<ConversionList>();
        m_sheet = std::make_unique<OptionSheet>();
        m_sheet->prolist();
        QVERIFY(m_sheet->setValue("Video Options", "Video Codec", "x264") &&
                m_sheet->setValue("Video Options", "Video Framerate", "25") &&
                m_sheet->setValue("Audio Options", "Audio Codec", "aac"));
        m_keys = std::make_unique<KeyChannel>();
        m_engine = std::make_unique<ConversionEngine>(
            *m_list, *m_sheet, *m_keys, m_services, m_services,
            ConversionEngine::Environment{resolveProgram("ffmpeg"),
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

    void threeRowsComplete()
    {
        QSignalSpy total(m_engine.get(), &ConversionEngine::totalProgressChanged);
        int staleStatistics = 0;
        connect(m_engine.get(), &ConversionEngine::captionChanged, this,
                [&](const QString &caption) {
                    if (caption != "Progress....") // a row starts
                        staleStatistics += QFile::exists(m_dir.filePath("curconvert.log"));
                });
        QCOMPARE(convert({m_short, m_short, m_short}), QString("Completed: OK|OK|OK"));
        QCOMPARE(staleStatistics, 0);
        QCOMPARE(firstArguments(total), QList<int>({0, 33, 66, 99, 100, 0}));
        QCOMPARE(g_events, QStringList({"panel shown", "info: Conversion completed!",
                                        "panel hidden", "open " + m_out}));
        for (const char *name : {"short clip.mp4", "short clip_New.mp4", "short clip_New_New.mp4"})
            QVERIFY2(qAbs(duration(m_out + "/" + name) - 2) < 0.3, name);
        QCOMPARE(QDir(m_out).entryList(QDir::Files | QDir::Hidden).size(), 3); // no partial left
    }

    void failingRowDoesNotStopTheBatch()
    {
        const QString junk = m_dir.filePath("junk.avi");
        QVERIFY(writeFile(junk, QByteArray(5000, 'x')));
        QCOMPARE(convert({junk, m_short}), QString("Completed: Fail|OK"));
        QVERIFY2(firstReason().contains("junk.avi"), qPrintable(firstReason()));
        QVERIFY(!QFile::exists(m_out + "/junk.mp4"));
        QVERIFY(g_events.contains("info: Conversion completed!"));
    }

    void brokenOffConversionFails()
    {
        QTimer::singleShot(1500, this,
                           [this] { ::kill(m_engine->run().ConverterProcessId, SIGKILL); });
        m_list->append(m_long);
        QCOMPARE(convert({}), QString("Completed: Fail"));
        QVERIFY(firstReason().contains("crashed"));
        QCOMPARE(QDir(m_out).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    void missingSourceStopsTheBatch()
    {
        const QString gone = m_dir.filePath("gone.avi");
        QVERIFY(QFile::copy(m_short, gone));
        for (const QString &source : {m_short, gone, m_short})
            m_list->append(source);
        QVERIFY(m_list->setField(3, ConversionItem::Field::Status, "old"));
        QVERIFY(QFile::remove(gone));
        QCOMPARE(convert({}), QString("InvalidInput: OK||old"));
        QCOMPARE(g_events, QStringList({"panel shown", "critical: Invalid input file name. " + gone,
                                        "panel hidden"}));
    }

    void cancelDuringSecondRow()
    {
        for (const QString &source : {m_short, m_long, m_short})
            m_list->append(source);
        QVERIFY(m_list->setField(2, ConversionItem::Field::End, "0:01:00"));
        connect(m_engine.get(), &ConversionEngine::rowFinished, this, [this](int position) {
            if (position == 1)
                QTimer::singleShot(1500, m_engine.get(), &ConversionEngine::cancel);
        });
        QSignalSpy idle(m_engine.get(), &ConversionEngine::idle);
        QCOMPARE(convert({}), QString("Cancelled: OK|Cancel|"));
        QCOMPARE(g_events, QStringList({"panel shown", "critical: Conversion Canceled by the user!",
                                        "panel hidden"}));
        QVERIFY(m_engine->isBusy() && !m_engine->isRunning());
        QVERIFY(idle.wait(20000));
        const double partial = duration(m_out + "/long clip.mp4");
        QVERIFY2(partial > 0.5 && partial < 59, qPrintable(QString::number(partial)));
        m_engine->cancel(); // nothing runs: changes nothing
        m_list->clear();
        QCOMPARE(convert({m_short}), QString("Completed: OK")); // a new run is accepted
    }

    void existingOutputs()
    {
        const QString target = m_out + "/short clip.mp4";
        QVERIFY(writeFile(target, "keep me"));
        // Overwrite, but the conversion fails: the existing file stays as it was.
        setSetting("existedfile", "1");
        QVERIFY(m_sheet->setValue("Video Options", "Video Size", "33x33"));
        QCOMPARE(convert({m_short}), QString("Completed: Fail"));
        QCOMPARE(readFile(target), QByteArray("keep me"));
        // Overwrite and success: replaced.
        QVERIFY(m_sheet->setValue("Video Options", "Video Size", "320x240"));
        QCOMPARE(convert({m_short}), QString("Completed: OK|OK")); // every row again
        QVERIFY(qAbs(duration(target) - 2) < 0.3);
        // Add "_New": a new name, the old file untouched.
        setSetting("existedfile", "0");
        const QByteArray before = readFile(target);
        QCOMPARE(convert({m_short}), QString("Completed: OK|OK|OK"));
        QCOMPARE(readFile(target), before);
        QVERIFY(qAbs(duration(m_out + "/short clip_New.mp4") - 2) < 0.3);
    }

    void outputThatIsTheSource()
    {
        const QString source = m_out + "/same.mp4";
        QVERIFY(QFile::copy(m_short, source));
        const QByteArray before = readFile(source);
        setSetting("existedfile", "1");
        QCOMPARE(convert({source}), QString("Completed: Fail"));
        QVERIFY(firstReason().contains("source"));
        QCOMPARE(readFile(source), before);
    }

    void autoShutBeforeTheMessage()
    {
        setSetting("autoshut", "1");
        QCOMPARE(convert({m_short}), QString("Completed: OK"));
        QCOMPARE(g_events.mid(0, 3),
                 QStringList({"panel shown", "power off", "info: Conversion completed!"}));
    }

    void keyChannel()
    {
        KeyChannel keys;
        QVERIFY(!keys.SendKeyToConverter(KeyChannel::KeyQ) &&
                !keys.SendKeyToPlayer(KeyChannel::KeyQ));
        const QString output = m_out + "/endless.mp4";
        QProcess ffmpeg;
        ffmpeg.start(resolveProgram("ffmpeg"),
                     {"-v", "error", "-f", "lavfi", "-re", "-i", "testsrc=size=160x120:rate=25",
                      "-c:v", "libx264", output});
        QVERIFY(ffmpeg.waitForStarted());
        keys.registerChild(KeyChannel::Role::Converter, &ffmpeg);
        QCOMPARE(keys.ConverterProcessId(), ffmpeg.processId());
        QVERIFY(!keys.SendKeyToPlayer(KeyChannel::KeyQ)); // registered as the converter only
        QTest::qWait(1500);
        QVERIFY(keys.SendKeyToConverter(KeyChannel::KeyQ));
        QVERIFY(ffmpeg.waitForFinished(10000));
        QCOMPARE(ffmpeg.exitCode(), 0);
        QVERIFY(duration(output) > 0.5);
        QVERIFY(!keys.SendKeyToConverter(KeyChannel::KeyQ)); // it has ended
        QVERIFY(keys.ConverterProcessId() != 0);
    }
};

QTEST_GUILESS_MAIN(TestConversionEngine)
#include "tst_ConversionEngine.moc"
