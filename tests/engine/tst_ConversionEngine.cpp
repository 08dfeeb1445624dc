#include "app/ConversionList.h"
#include "app/OptionSheet.h"
#include "engine/ConversionEngine.h"
#include "engine/KeyChannel.h"
#include "engine/SystemServices.h"
#include "settings/IniFile.h"
#include "settings/ProgramFolders.h"

#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>

namespace {

QStringList g_events; // what the user would see, in order

struct FakePower : PowerControl
{
    void powerOff() override { g_events << "power off"; }
};

struct FakeOpener : FolderOpener
{
    void openFolder(const QString &folder) override { g_events << "open " + folder; }
};

int run(const QStringList &arguments, QByteArray *output = nullptr)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(arguments.first(), arguments.mid(1));
    p.waitForFinished(120000);
    if (output)
        *output = p.readAll();
    return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

double duration(const QString &path)
{
    QByteArray out;
    if (run({resolveProgram("ffprobe"), "-v", "error", "-show_entries", "format=duration", "-of",
             "csv=p=0", path},
            &out) != 0)
        return -1;
    return out.trimmed().toDouble();
}

} // namespace

class TestConversionEngine : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void threeRowsComplete();
    void failingRowDoesNotStopTheBatch();
    void brokenOffConversionFails();
    void missingSourceStopsTheBatch();
    void cancelDuringSecondRow();
    void existingOutputs();
    void outputThatIsTheSource();
    void autoShutBeforeTheMessage();
    void keyChannel();

private:
    QString clip(const QString &name, int seconds);
    void setSetting(const char *key, const QString &value);
    BatchOutcome convert(const QStringList &sources, int timeoutMs = 60000);

    QTemporaryDir m_dir;
    QString m_out, m_short, m_long;
    std::unique_ptr<ConversionList> m_list;
    std::unique_ptr<OptionSheet> m_sheet;
    std::unique_ptr<KeyChannel> m_keys;
    FakePower m_power;
    FakeOpener m_opener;
    std::unique_ptr<ConversionEngine> m_engine;
};

QString TestConversionEngine::clip(const QString &name, int seconds)
{
    const QString path = m_dir.filePath(name);
    if (!QFile::exists(path)) {
        run({resolveProgram("ffmpeg"), "-v", "error", "-f", "lavfi", "-i",
             "testsrc=size=320x240:rate=25", "-f", "lavfi", "-i", "sine", "-t",
             QString::number(seconds), "-c:v", "mpeg4", "-c:a", "mp2", path});
    }
    return path;
}

void TestConversionEngine::setSetting(const char *key, const QString &value)
{
    QVERIFY(WriteIniValue(m_dir.filePath("settings.dat"), "set", key, value));
}

void TestConversionEngine::initTestCase()
{
    m_short = clip("short clip.avi", 2);
    m_long = clip("long clip.avi", 60);
    QVERIFY(QFile::exists(m_short) && QFile::exists(m_long));
}

void TestConversionEngine::init()
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
    for (const auto &[item, value] : {std::pair{"Video Codec", "x264"}, {"Video Framerate", "25"}})
        QVERIFY(m_sheet->setValue("Video Options", item, value));
    QVERIFY(m_sheet->setValue("Audio Options", "Audio Codec", "aac"));
    m_keys = std::make_unique<KeyChannel>();
    ConversionEngine::Environment env{resolveProgram("ffmpeg"), m_dir.filePath("curconvert.log"),
                                      m_dir.filePath("settings.dat"), m_dir.path(),
                                      [] { return QString("001.  MP4 H264 (*.mp4)"); }};
    m_engine = std::make_unique<ConversionEngine>(*m_list, *m_sheet, *m_keys, m_power, m_opener,
                                                  env);
    m_engine->setGracePeriod(5000);
    connect(m_engine.get(), &ConversionEngine::message, this,
            [](const QString &text, MessageIcon icon) {
                g_events << (icon == MessageIcon::Critical ? "critical: " : "info: ") + text;
            });
    connect(m_engine.get(), &ConversionEngine::panelVisibleChanged, this,
            [](bool shown) { g_events << (shown ? "panel shown" : "panel hidden"); });
}

BatchOutcome TestConversionEngine::convert(const QStringList &sources, int timeoutMs)
{
    for (const QString &source : sources) {
        const int row = m_list->append(source);
        (void)m_list->setField(row, ConversionItem::Field::Start, "0:00:00");
        (void)m_list->setField(row, ConversionItem::Field::End, "0:00:02");
    }
    QSignalSpy finished(m_engine.get(), &ConversionEngine::batchFinished);
    m_engine->BurnNow();
    if (finished.isEmpty() && !finished.wait(timeoutMs))
        return BatchOutcome(-1);
    return finished.first().first().value<BatchOutcome>();
}

void TestConversionEngine::threeRowsComplete()
{
    QSignalSpy total(m_engine.get(), &ConversionEngine::totalProgressChanged);
    int staleStatistics = 0;
    connect(m_engine.get(), &ConversionEngine::captionChanged, this, [&](const QString &caption) {
        if (caption != "Progress....") // a row starts
            staleStatistics += QFile::exists(m_dir.filePath("curconvert.log"));
    });
    QCOMPARE(convert({m_short, m_short, m_short}), BatchOutcome::Completed);
    QCOMPARE(staleStatistics, 0);
    QList<int> bars;
    for (const auto &args : total)
        bars << args.first().toInt();
    QCOMPARE(bars, QList<int>({0, 33, 66, 99, 100, 0}));
    for (int row = 1; row <= 3; ++row)
        QCOMPARE(m_list->row(row)->Status, QString("OK"));
    QCOMPARE(g_events, QStringList({"panel shown", "info: Conversion completed!", "panel hidden",
                                    "open " + m_out}));
    for (const char *name : {"short clip.mp4", "short clip_New.mp4", "short clip_New_New.mp4"})
        QVERIFY2(qAbs(duration(m_out + "/" + name) - 2) < 0.3, name);
    QCOMPARE(QDir(m_out).entryList(QDir::Files | QDir::Hidden).size(), 3); // no partial left
}

void TestConversionEngine::failingRowDoesNotStopTheBatch()
{
    const QString junk = m_dir.filePath("junk.avi");
    QFile f(junk);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(QByteArray(5000, 'x')));
    f.close();
    QSignalSpy rows(m_engine.get(), &ConversionEngine::rowFinished);
    QCOMPARE(convert({junk, m_short}), BatchOutcome::Completed);
    QCOMPARE(m_list->row(1)->Status, QString("Fail"));
    QCOMPARE(m_list->row(2)->Status, QString("OK"));
    QVERIFY2(rows.first().at(4).toString().contains("junk.avi"), qPrintable(rows.first().at(4).toString()));
    QVERIFY(!QFile::exists(m_out + "/junk.mp4"));
    QVERIFY(g_events.contains("info: Conversion completed!"));
}

void TestConversionEngine::brokenOffConversionFails()
{
    QTimer::singleShot(1500, this, [this] { ::kill(m_engine->run().ConverterProcessId, SIGKILL); });
    QSignalSpy rows(m_engine.get(), &ConversionEngine::rowFinished);
    m_list->append(m_long);
    QCOMPARE(convert({}), BatchOutcome::Completed);
    QCOMPARE(m_list->row(1)->Status, QString("Fail"));
    QVERIFY(rows.first().at(4).toString().contains("crashed"));
    QCOMPARE(QDir(m_out).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestConversionEngine::missingSourceStopsTheBatch()
{
    const QString gone = m_dir.filePath("gone.avi");
    QVERIFY(QFile::copy(m_short, gone));
    m_list->append(m_short);
    m_list->append(gone);
    m_list->append(m_short);
    QVERIFY(m_list->setField(3, ConversionItem::Field::Status, "old"));
    QVERIFY(QFile::remove(gone));
    QCOMPARE(convert({}), BatchOutcome::InvalidInput);
    QCOMPARE(m_list->row(1)->Status, QString("OK"));
    QCOMPARE(m_list->row(3)->Status, QString("old"));
    QCOMPARE(g_events, QStringList({"panel shown", "critical: Invalid input file name. " + gone,
                                    "panel hidden"}));
}

void TestConversionEngine::cancelDuringSecondRow()
{
    m_list->append(m_short);
    m_list->append(m_long);
    m_list->append(m_short);
    QVERIFY(m_list->setField(2, ConversionItem::Field::End, "0:01:00"));
    connect(m_engine.get(), &ConversionEngine::rowFinished, this, [this](int position) {
        if (position == 1)
            QTimer::singleShot(1500, m_engine.get(), &ConversionEngine::cancel);
    });
    QSignalSpy idle(m_engine.get(), &ConversionEngine::idle);
    QCOMPARE(convert({}), BatchOutcome::Cancelled);
    QCOMPARE(m_list->row(2)->Status, QString("Cancel"));
    QCOMPARE(m_list->row(3)->Status, QString());
    QCOMPARE(g_events, QStringList({"panel shown", "critical: Conversion Canceled by the user!",
                                    "panel hidden"}));
    QVERIFY(m_engine->isBusy() && !m_engine->isRunning());
    QVERIFY(idle.wait(20000));
    const double partial = duration(m_out + "/long clip.mp4");
    QVERIFY2(partial > 0.5 && partial < 59, qPrintable(QString::number(partial)));
    m_engine->cancel(); // nothing runs: changes nothing
    m_list->clear();
    QCOMPARE(convert({m_short}), BatchOutcome::Completed); // a new run is accepted
}

void TestConversionEngine::existingOutputs()
{
    const QString target = m_out + "/short clip.mp4";
    QFile f(target);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write("keep me") == 7);
    f.close();
    // Overwrite, but the conversion fails: the existing file stays as it was.
    setSetting("existedfile", "1");
    QVERIFY(m_sheet->setValue("Video Options", "Video Size", "33x33"));
    QCOMPARE(convert({m_short}), BatchOutcome::Completed);
    QCOMPARE(m_list->row(1)->Status, QString("Fail"));
    QCOMPARE(fileBytes(target), QByteArray("keep me"));
    // Overwrite and success: replaced.
    QVERIFY(m_sheet->setValue("Video Options", "Video Size", "320x240"));
    QCOMPARE(convert({m_short}), BatchOutcome::Completed);
    QVERIFY(qAbs(duration(target) - 2) < 0.3);
    // Add "_New": a new name, the old file untouched.
    setSetting("existedfile", "0");
    const QByteArray before = fileBytes(target);
    QCOMPARE(convert({m_short}), BatchOutcome::Completed);
    QCOMPARE(fileBytes(target), before);
    QVERIFY(qAbs(duration(m_out + "/short clip_New.mp4") - 2) < 0.3);
}

void TestConversionEngine::outputThatIsTheSource()
{
    const QString source = m_out + "/same.mp4";
    QVERIFY(QFile::copy(m_short, source));
    const QByteArray before = fileBytes(source);
    setSetting("existedfile", "1");
    QSignalSpy rows(m_engine.get(), &ConversionEngine::rowFinished);
    QCOMPARE(convert({source}), BatchOutcome::Completed);
    QCOMPARE(m_list->row(1)->Status, QString("Fail"));
    QVERIFY(rows.first().at(4).toString().contains("source"));
    QCOMPARE(fileBytes(source), before);
}

void TestConversionEngine::autoShutBeforeTheMessage()
{
    setSetting("autoshut", "1");
    QCOMPARE(convert({m_short}), BatchOutcome::Completed);
    QCOMPARE(g_events.mid(0, 3),
             QStringList({"panel shown", "power off", "info: Conversion completed!"}));
}

void TestConversionEngine::keyChannel()
{
    KeyChannel keys;
    QVERIFY(!keys.SendKeyToConverter(KeyChannel::KeyQ));
    QVERIFY(!keys.SendKeyToPlayer(KeyChannel::KeyQ));
    QCOMPARE(keys.keyBytes(KeyChannel::KeyLeft) + keys.keyBytes(KeyChannel::KeyRight) +
                 keys.keyBytes(KeyChannel::KeySpace) + keys.keyBytes(KeyChannel::KeyQ),
             QByteArray("\x1b[D\x1b[C q"));

    const QString output = m_out + "/endless.mp4";
    QProcess ffmpeg;
    ffmpeg.start(resolveProgram("ffmpeg"), {"-v", "error", "-f", "lavfi", "-re", "-i",
                                            "testsrc=size=160x120:rate=25", "-c:v", "libx264",
                                            output});
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

QTEST_GUILESS_MAIN(TestConversionEngine)
#include "tst_ConversionEngine.moc"
