#include "../TestSupport.h"
#include "app/OptionSheet.h"
#include "app/ProfileSelection.h"
#include "engine/CommandBuilder.h"

// Every profile of the shipped catalogue converts a one-second clip into the
// streams it promises.
class TestShippedProfiles : public QObject
{
    Q_OBJECT

    struct Conversion
    {
        QString text;
        ConvertCommand command;
        QString videoCodec, audioCodec;
        std::shared_ptr<QProcess> process = std::make_shared<QProcess>();
    };

    QTemporaryDir m_dir;
    QString m_source = m_dir.filePath("source clip.avi");
    QList<Conversion> m_conversions;

private slots:
    void initTestCase()
    {
        QVERIFY(!resolveProgram("ffmpeg").isEmpty() && !resolveProgram("ffprobe").isEmpty());
        ProfileCatalogue catalogue;
        QVERIFY2(catalogue.open(CLIPWRIGHT_BIN_DIR "/ct.s3db"),
                 qPrintable(catalogue.errorString()));
        const QVector<ProfileEntry> entries = catalogue.loadEntries();
        QVERIFY(makeClip(m_source, 2));
        for (int position = 1; position <= entries.size(); ++position) {
            if (!entries[position - 1].isProfile())
                continue;
            OptionSheet sheet;
            sheet.prolist();
            QCOMPARE(applyProfile(entries, position, catalogue, sheet), position);
            // A folder each: profiles that share an extension share a name.
            const QString folder = m_dir.filePath(QString::number(position));
            QVERIFY(QDir().mkpath(folder));
            const QString output = MakeOutputPath(m_source, entries[position - 1].text, folder,
                                                  ExistingFilePolicy::AddNew);
            m_conversions << Conversion{
                entries[position - 1].text,
                BuildConvertCommand(sheet, {m_source, "0:00:00", "0:00:01", {}, {}, {}, {}, {}},
                                    output, {},
                                    {resolveProgram("ffmpeg"), folder + "/curconvert.log", 1,
                                     ExistingFilePolicy::AddNew}),
                *sheet.value("Video Options", "Video Codec"),
                *sheet.value("Audio Options", "Audio Codec")};
        }
        // As many at a time as there are cores, each row awaits its own;
        // FFmpeg's log goes to a file beside the output, so that no pipe can
        // fill up.
        const qsizetype cores = QThread::idealThreadCount();
        for (qsizetype i = 0; i < m_conversions.size(); ++i) {
            if (i >= cores)
                m_conversions[i - cores].process->waitForFinished(120000);
            QProcess &process = *m_conversions[i].process;
            process.setProcessChannelMode(QProcess::MergedChannels);
            process.setStandardOutputFile(m_conversions[i].command.OutputPath + ".log");
            process.start(m_conversions[i].command.Program, m_conversions[i].command.Arguments);
        }
    }

    void everyProfileConverts_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < m_conversions.size(); ++i)
            QTest::newRow(qPrintable(m_conversions[i].text)) << i;
    }
    void everyProfileConverts()
    {
        QFETCH(int, index);
        const Conversion &conversion = m_conversions[index];
        const QString output = conversion.command.OutputPath;
        QProcess &process = *conversion.process;
        process.waitForFinished(120000);
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 &&
                     QFileInfo(output).size() >= 100,
                 qPrintable(conversion.command.CommandLine + "\n" +
                            readFile(output + ".log").right(2000)));
        const QByteArray probed = probe(output);
        QVERIFY2(qAbs(probedDuration(probed) - 1.0) <= 0.3, probed.constData());
        // What ffprobe calls the stream an encoder writes.
        const QHash<QString, QString> streams = {
            {"libxvid", "mpeg4"},    {"libx264", "h264"},     {"libvpx", "vp8"},
            {"libtheora", "theora"}, {"h263p", "h263"},       {"flv", "flv1"},
            {"libmp3lame", "mp3"},   {"libvorbis", "vorbis"}, {"wmav2", "wmav2"}};
        // Audio-only profiles have no video stream.
        QCOMPARE(probed.contains("codec_type=video"), conversion.videoCodec != "N/A");
        for (const QString &encoder :
             {videoEncoderFor(conversion.videoCodec), audioEncoderFor(conversion.audioCodec)}) {
            if (!encoder.isEmpty())
                QVERIFY2(probed.contains("codec_name=" + streams.value(encoder, encoder).toUtf8()),
                         probed.constData());
        }
    }
};

QTEST_GUILESS_MAIN(TestShippedProfiles)
#include "tst_ShippedProfiles.moc"
