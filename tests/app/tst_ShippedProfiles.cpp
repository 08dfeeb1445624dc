#include "../TestSupport.h"
#include "app/OptionSheet.h"
#include "app/ProfileSelection.h"
#include "engine/CommandBuilder.h"

class TestShippedProfiles : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_source = m_dir.filePath("source clip.avi");
    ProfileCatalogue m_catalogue;
    QVector<ProfileEntry> m_entries;

private slots:
    void initTestCase()
    {
        QVERIFY(!resolveProgram("ffmpeg").isEmpty() && !resolveProgram("ffprobe").isEmpty());
        QVERIFY2(m_catalogue.open(CLIPWRIGHT_BIN_DIR "/ct.s3db"),
                 qPrintable(m_catalogue.errorString()));
        m_entries = m_catalogue.loadEntries();
        QVERIFY(makeClip(m_source, 3));
    }

    void everyProfileConverts_data()
    {
        QTest::addColumn<int>("position");
        for (int i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i].isProfile())
                QTest::newRow(qPrintable(m_entries[i].text)) << i + 1;
        }
    }
    void everyProfileConverts()
    {
        QFETCH(int, position);
        OptionSheet sheet;
        sheet.prolist();
        QCOMPARE(applyProfile(m_entries, position, m_catalogue, sheet), position);
        const QString output = MakeOutputPath(m_source, m_entries[position - 1].text, m_dir.path(),
                                              ExistingFilePolicy::AddNew);
        const ConvertCommand command = BuildConvertCommand(
            sheet, {m_source, "0:00:00", "0:00:02", {}, {}, {}, {}, {}}, output, {},
            {resolveProgram("ffmpeg"), m_dir.filePath("curconvert.log"), 2,
             ExistingFilePolicy::AddNew});
        const RunResult converted = run(command.Program, command.Arguments);
        QVERIFY2(converted.exitCode == 0 && QFileInfo(output).size() >= 100,
                 qPrintable(command.CommandLine + "\n" + converted.output.right(2000)));

        const QByteArray probed = probe(output);
        QVERIFY2(qAbs(duration(output) - 2.0) <= 0.3, probed.constData());
        // What ffprobe calls the stream an encoder writes.
        const QHash<QString, QString> streams = {
            {"libxvid", "mpeg4"},    {"libx264", "h264"},     {"libvpx", "vp8"},
            {"libtheora", "theora"}, {"h263p", "h263"},       {"flv", "flv1"},
            {"libmp3lame", "mp3"},   {"libvorbis", "vorbis"}, {"wmav2", "wmav2"}};
        const QString videoValue = *sheet.value("Video Options", "Video Codec");
        QCOMPARE(probed.contains("codec_type=video"), videoValue != "N/A"); // audio-only profiles
        for (const QString &encoder :
             {videoEncoderFor(videoValue),
              audioEncoderFor(*sheet.value("Audio Options", "Audio Codec"))}) {
            if (!encoder.isEmpty())
                QVERIFY2(probed.contains("codec_name=" + streams.value(encoder, encoder).toUtf8()),
                         probed.constData());
        }
        QFile::remove(output);
    }
};

QTEST_GUILESS_MAIN(TestShippedProfiles)
#include "tst_ShippedProfiles.moc"
