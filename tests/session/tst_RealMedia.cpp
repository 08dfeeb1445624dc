#include "../SessionSupport.h"
#include "engine/ConversionEngine.h"
#include "session/Session.h"
#include "settings/IniFile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

// What ffprobe tells of a file: its length, the length of its sound (-1 for
// none) and the display aspect of its picture (0 for none).
struct Shape
{
    double length = -1;
    double soundLength = -1;
    double aspect = 0;
};

Shape shapeOf(const QString &path)
{
    const RunResult r = run(resolveProgram("ffprobe"),
                            {"-v", "error", "-show_entries",
                             "format=duration:stream=codec_type,width,height,sample_aspect_ratio,"
                             "duration",
                             "-of", "json", path});
    const QJsonObject json = QJsonDocument::fromJson(r.output).object();
    Shape shape;
    shape.length = json["format"]["duration"].toString("-1").toDouble();
    for (const QJsonValue &value : json["streams"].toArray()) {
        const QJsonObject stream = value.toObject();
        if (stream["codec_type"] == "audio") {
            shape.soundLength =
                stream["duration"].toString(QString::number(shape.length)).toDouble();
        } else if (stream["codec_type"] == "video") {
            const QStringList sar = stream["sample_aspect_ratio"].toString("1:1").split(':');
            const double pixel = sar.value(1).toDouble() > 0
                                     ? sar.value(0).toDouble() / sar.value(1).toDouble()
                                     : 1.0;
            shape.aspect = stream["width"].toDouble() * (pixel > 0 ? pixel : 1.0) /
                           stream["height"].toDouble();
        }
    }
    return shape;
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
        QVERIFY(m_session->isReady());
        QCOMPARE(m_session->selectProfile(2).position, 2); // MP4 H264
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
        const Shape before = shapeOf(source);

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

        const Shape after = shapeOf(rows[0][3].toString());
        QVERIFY2(qAbs(after.length - seconds) <= 0.35, qPrintable(QString::number(after.length)));
        if (before.soundLength > 0) // from its first moment
            QVERIFY2(qAbs(after.soundLength - seconds) <= 0.35,
                     qPrintable(QString("sound %1 s").arg(after.soundLength)));
        QVERIFY2(qAbs(after.aspect / before.aspect - 1) <= 0.03,
                 qPrintable(QString("aspect %1 from %2").arg(after.aspect).arg(before.aspect)));
    }
};

QTEST_GUILESS_MAIN(TestRealMedia)
#include "tst_RealMedia.moc"
