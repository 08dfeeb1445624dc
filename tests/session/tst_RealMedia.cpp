#include "../SessionSupport.h"
#include "engine/ConversionEngine.h"
#include "session/Session.h"
#include "settings/IniFile.h"

namespace {

// ffprobe's first value for the streams `streams` ("v", "a") of a file.
QString ffprobeValue(const QString &path, const QString &streams, const QString &entry)
{
    return run(resolveProgram("ffprobe"),
               {"-v", "error", "-select_streams", streams, "-show_entries", entry, "-of",
                "default=nw=1:nk=1", path})
        .output.split('\n')
        .first();
}

} // namespace

// Files made the way other programs make them, converted through the whole
// program: probed, listed, converted. Each comes out with its length, its
// sound and its shape.
class TestRealMedia : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QStringList m_calls;
    RecordingServices m_services{m_calls};
    std::unique_ptr<Session> m_session;

private slots:
    void initTestCase()
    {
        QVERIFY(QDir(m_dir.path()).mkpath("out"));
        QVERIFY(WriteIniValue(m_dir.filePath("settings.dat"), "set", "outputfolder",
                              m_dir.filePath("out")));
        m_session = readySession(m_dir, m_services);
        QCOMPARE(m_session->selectProfile(2).position, 2); // ready: applied at once
    }

    void convert_data()
    {
        // How FFmpeg makes the source, its name and its length: a length
        // MPlayer does not know (ffprobe's is used), a stored size that is not
        // the shown one, and sound that starts before the picture.
        addColumns<QString, QString, double>("recipe", "name", "seconds");
        newRow("MPEG-TS",
               QString("-f lavfi -i testsrc=size=320x240:rate=25 -f lavfi -i sine -t 2 "
                       "-c:v mpeg2video -c:a mp2"),
               QString("clip.ts"), 2.0);
        newRow("non-square pixels",
               QString("-f lavfi -i testsrc=size=352x288:sar=16/11:rate=25 -f lavfi -i sine -t 2 "
                       "-c:v mpeg4 -c:a libmp3lame"),
               QString("wide pixels.avi"), 2.0);
        newRow("FLV, picture 1 s after the sound",
               QString("-f lavfi -t 3 -i sine -itsoffset 1 -f lavfi -t 2 -i "
                       "testsrc=size=320x240:rate=25 -c:v flv -c:a libmp3lame -ar 44100"),
               QString("late.flv"), 3.0);
    }
    void convert()
    {
        QFETCH(QString, recipe);
        QFETCH(QString, name);
        QFETCH(double, seconds);
        const QString source = m_dir.filePath(name);
        const RunResult made =
            run(resolveProgram("ffmpeg"),
                QStringList{"-v", "error", "-y"} + recipe.split(' ', Qt::SkipEmptyParts) << source);
        QVERIFY2(made.exitCode == 0, made.output.constData());

        QVERIFY(m_session->clearFiles());
        QSignalSpy probed(m_session.get(), &Session::probesFinished);
        m_session->AddFileToList(source);
        QVERIFY(probed.wait(20000));
        QSignalSpy rows(&m_session->engine(), &ConversionEngine::rowFinished);
        QVERIFY(m_session->engine().BurnNow());
        QTRY_VERIFY_WITH_TIMEOUT(!m_session->engine().isBusy(), 60000);
        QCOMPARE(rows.size(), 1);
        QVERIFY2(rows[0][1].value<ConversionJob::Status>() == ConversionJob::Status::Ok,
                 qPrintable(rows[0][4].toString()));

        // The whole length, the sound from its first moment, the picture's shape.
        const QString output = rows[0][3].toString();
        const double length = duration(output),
                     sound = ffprobeValue(output, "a", "stream=duration").toDouble();
        QVERIFY2(qAbs(length - seconds) <= 0.35 && qAbs(sound - seconds) <= 0.35,
                 qPrintable(QString("%1 s, sound %2 s").arg(length).arg(sound)));
        const QString aspect = "stream=display_aspect_ratio";
        QCOMPARE(ffprobeValue(output, "v", aspect), ffprobeValue(source, "v", aspect));
    }
};

QTEST_GUILESS_MAIN(TestRealMedia)
#include "tst_RealMedia.moc"
