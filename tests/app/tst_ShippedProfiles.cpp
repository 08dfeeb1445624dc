#include "app/OptionSheet.h"
#include "app/ProfileSelection.h"
#include "engine/CommandBuilder.h"
#include "settings/ProgramFolders.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray run(const QString &program, const QStringList &arguments, int *exitCode)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(180000))
        process.kill();
    *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return process.readAll();
}

// What ffprobe calls the stream an encoder writes.
QString streamCodec(const QString &encoder)
{
    static const QHash<QString, QString> names = {
        {"libxvid", "mpeg4"},    {"libx264", "h264"},     {"libvpx", "vp8"},
        {"libtheora", "theora"}, {"h263p", "h263"},       {"flv", "flv1"},
        {"libmp3lame", "mp3"},   {"libvorbis", "vorbis"}, {"wmav2", "wmav2"},
    };
    return names.value(encoder, encoder);
}

} // namespace

class TestShippedProfiles : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void everyProfileConverts_data();
    void everyProfileConverts();

private:
    QTemporaryDir m_dir;
    QString m_ffmpeg, m_ffprobe, m_source;
    ProfileCatalogue m_catalogue;
    QVector<ProfileEntry> m_entries;
};

void TestShippedProfiles::initTestCase()
{
    m_ffmpeg = resolveProgram("ffmpeg");
    m_ffprobe = resolveProgram("ffprobe");
    QVERIFY(!m_ffmpeg.isEmpty() && !m_ffprobe.isEmpty());
    QVERIFY2(m_catalogue.open(CLIPWRIGHT_BIN_DIR "/ct.s3db"),
             qPrintable(m_catalogue.errorString()));
    m_entries = m_catalogue.loadEntries();
    m_source = m_dir.filePath("source clip.avi");
    int rc = -1;
    const QByteArray log = run(m_ffmpeg,
                               {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=320x240:rate=25",
                                "-f", "lavfi", "-i", "sine=frequency=440", "-t", "3", "-c:v",
                                "mpeg4", "-c:a", "libmp3lame", m_source},
                               &rc);
    QVERIFY2(rc == 0, log.constData());
}

void TestShippedProfiles::everyProfileConverts_data()
{
    QTest::addColumn<int>("position");
    for (int i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].isProfile())
            QTest::newRow(qPrintable(m_entries[i].text)) << i + 1;
    }
}

void TestShippedProfiles::everyProfileConverts()
{
    QFETCH(int, position);
    OptionSheet sheet;
    sheet.prolist();
    QCOMPARE(applyProfile(m_entries, position, m_catalogue, sheet), position);
    const QString profile = m_entries[position - 1].text;
    const QString output =
        MakeOutputPath(m_source, profile, m_dir.path(), ExistingFilePolicy::AddNew);
    ConversionItem row;
    row.FileName = m_source;
    row.Start = "0:00:00";
    row.End = "0:00:02";
    const ConvertCommand command = BuildConvertCommand(
        sheet, row, output,
        {m_ffmpeg, m_dir.filePath("curconvert.log"), 2, ExistingFilePolicy::AddNew});

    int rc = -1;
    const QByteArray log = run(command.Program, command.Arguments, &rc);
    QVERIFY2(rc == 0 && QFileInfo(output).size() >= 100,
             qPrintable(command.CommandLine + "\n" + log.right(2000)));

    const QByteArray probe =
        run(m_ffprobe,
            {"-v", "error", "-show_entries", "format=duration:stream=codec_type,codec_name", "-of",
             "default=noprint_wrappers=1", output},
            &rc);
    QVERIFY2(rc == 0, probe.constData());
    const int at = probe.indexOf("duration=");
    QVERIFY2(at >= 0, probe.constData());
    const double duration = probe.mid(at + 9).split('\n').first().toDouble();
    QVERIFY2(qAbs(duration - 2.0) <= 0.3, probe.constData());

    const QString videoValue = *sheet.value("Video Options", "Video Codec");
    const QString video = videoEncoderFor(videoValue);
    const QString audio = audioEncoderFor(*sheet.value("Audio Options", "Audio Codec"));
    QCOMPARE(probe.contains("codec_type=video"), videoValue != "N/A"); // audio-only profiles
    if (!video.isEmpty())
        QVERIFY2(probe.contains("codec_name=" + streamCodec(video).toUtf8()), probe.constData());
    if (!audio.isEmpty())
        QVERIFY2(probe.contains("codec_name=" + streamCodec(audio).toUtf8()), probe.constData());
    QFile::remove(output);
}

QTEST_GUILESS_MAIN(TestShippedProfiles)
#include "tst_ShippedProfiles.moc"
