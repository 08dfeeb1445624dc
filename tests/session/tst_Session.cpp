#include "../SessionSupport.h"
#include "engine/ConversionEngine.h"
#include "engine/OutputEstimator.h"
#include "settings/IniFile.h"

class TestSession : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_clip = m_dir.filePath("clip.avi");
    QStringList m_calls;
    RecordingServices m_services{m_calls};

    // An FFmpeg built with libx264 and aac only.
    QString narrowFfmpeg()
    {
        const QString narrow = m_dir.filePath("narrow-ffmpeg");
        writeScript(narrow, "printf 'Encoders:\\n ------\\n V....D libx264 H.264\\n"
                            " A....D aac AAC\\n'\n");
        return narrow;
    }
    std::unique_ptr<Session> makeSession(const QString &ffmpegProgram = resolveProgram("ffmpeg"))
    {
        Session::Setup setup = sessionSetup(m_dir);
        setup.ffmpeg = ffmpegProgram;
        auto session = std::make_unique<Session>(setup, m_services, m_services);
        session->start();
        return session;
    }

private slots:
    void initTestCase() { QVERIFY(makeClip(m_clip, 2, "320x240", "mp2")); }

    void encoderGate_data()
    {
        // Selected before the encoders are known; applied once they are. The
        // narrow FFmpeg, or none.
        addColumns<bool, int, int, QString>("narrow", "wanted", "selected", "problem");
        newRow("H264 there", true, 2, 2, "");
        newRow("XviD missing", true, 4, 0, "This FFmpeg has no encoder libxvid");
        newRow("no FFmpeg: not checked", false, 4, 4, "");
    }
    void encoderGate()
    {
        QFETCH(bool, narrow);
        QFETCH(int, wanted);
        QFETCH(int, selected);
        QFETCH(QString, problem);
        auto session = makeSession(narrow ? narrowFfmpeg() : QString());
        QSignalSpy applied(session.get(), &Session::profileApplied);
        QCOMPARE(session->selectProfile(wanted).position, 0); // not known yet
        QVERIFY(applied.wait(10000));
        QCOMPARE(applied.first().at(0).toInt(), selected);
        QCOMPARE(applied.first().at(1).toString().left(problem.size()), problem);
        QCOMPARE(session->profilePosition(), selected);
        const QString codec = *session->sheet().value("Video Options", "Video Codec");
        QCOMPARE(codec == "N/A", selected == 0);
        QCOMPARE(session->catalogueProblem().isEmpty(), narrow);
        if (problem.isEmpty())
            QVERIFY(session->profileText().startsWith(
                QString("%1.  ").arg(selected - 1, 3, 10, QChar('0'))));
    }

    void rowsFromProbes()
    {
        auto session = makeSession();
        QSignalSpy done(session.get(), &Session::probesFinished);
        session->AddFileToList(m_clip);
        session->AddFileToList(m_dir.filePath("missing.avi"));
        session->AddFileToList(m_clip);
        QVERIFY(session->removeFile(3)); // its probe is dropped
        QVERIFY(done.wait(20000));
        ConversionList &list = session->files();
        QCOMPARE(list.count(), 2);
        const auto fields = [&list](int position) {
            const ConversionItem *r = list.row(position);
            return QStringList({r->Start, r->End, r->VideoTime, r->Size, r->Format}).join('|');
        };
        QCOMPARE(fields(1), QString("0:00:00|0:00:02|0:00:02|320x240|FMP4"));
        QCOMPARE(fields(2), QString("0:00:00|||0x0|")); // no file: still a row
        QCOMPARE(session->pendingProbes(), 0);
    }

    void convertStopsTheSamples()
    {
        const QString source = m_dir.filePath("long.avi");
        QVERIFY(makeClip(source, 12, "1280x720", "mp2"));
        QVERIFY(WriteIniValue(m_dir.filePath("settings.dat"), "set", "outputfolder", m_dir.path()));
        auto session = makeSession();
        QTRY_VERIFY(session->isReady());
        session->selectProfile(2);
        OutputEstimator &estimator = session->estimator();
        estimator.setDelay(0);
        estimator.setActive(true);
        session->AddFileToList(source);
        QTRY_VERIFY_WITH_TIMEOUT(estimator.sampleProcessId() != 0, 20000);
        const qint64 sample = estimator.sampleProcessId();
        ConversionEngine &engine = session->engine();
        bool sampledWhileConverting = false;
        connect(&engine, &ConversionEngine::itemProgressChanged, this,
                [&] { sampledWhileConverting |= estimator.sampleProcessId() != 0; });
        QVERIFY(engine.BurnNow());
        QCOMPARE(estimator.sampleProcessId(), 0);
        QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(QStringLiteral("/proc/%1").arg(sample)), 2000);
        QVERIFY(engine.isRunning()); // at once, not once the batch is over
        QVERIFY(!session->removeFile(1) && !session->clearFiles()); // the list stays as it is
        QTRY_VERIFY_WITH_TIMEOUT(!engine.isBusy(), 120000);
        QVERIFY(!sampledWhileConverting);
        // Afterwards the row is sampled again.
        QTRY_VERIFY_WITH_TIMEOUT(estimator.isComplete(), 30000);
        QCOMPARE(estimator.estimate(session->files().idAt(1)).state, OutputEstimator::State::Ready);
        QVERIFY(session->clearFiles() && session->files().count() == 0);
    }
};

QTEST_GUILESS_MAIN(TestSession)
#include "tst_Session.moc"
