#include "../SessionSupport.h"
#include "../online/LoopbackServer.h"
#include "../online/WatchPage.h"
#include "media/PlayerController.h"
#include "media/PreviewPlayer.h"
#include "online/OnlineVideoTool.h"
#include "session/Session.h"
#include "widgets/MainWindow.h"
#include "widgets/OnlineVideoWindow.h"
#include "widgets/PreviewPanel.h"

// The online-video window against pages on loopback, with the player's start
// recorded instead of run.
class TestOnlineVideoWindow : public QObject
{
    Q_OBJECT

    LoopbackServer m_server;
    QTemporaryDir m_dir;
    QStringList m_calls;
    RecordingServices m_services{m_calls};
    QList<QStringList> m_starts;
    std::unique_ptr<Session> m_session;
    std::unique_ptr<OnlineVideoWindow> m_window;

    template <typename T = QPushButton> T *child(const char *name)
    {
        return m_window->findChild<T *>(QString::fromLatin1(name));
    }
    QString label(const char *name) { return child<QLabel>(name)->text(); }
    // cmdG, getMp4, getHDH, getHDL, getFlv, cmdPR, cmdCancel, cmdAddList
    QString enabled()
    {
        QString flags;
        for (const char *name :
             {"cmdG", "getMp4", "getHDH", "getHDL", "getFlv", "cmdPR", "cmdCancel", "cmdAddList"})
            flags += child(name)->isEnabled() ? "1" : "0";
        return flags;
    }
    // Types a new address after the click that selects the old one.
    bool lookUp(const QString &path)
    {
        auto *address = child<QLineEdit>("txtWatchUrl");
        QTest::mouseClick(address, Qt::LeftButton);
        if (address->selectedText() != address->text())
            return false;
        QTest::keyClicks(address, m_server.url(path));
        QSignalSpy finished(&m_window->tool(), &OnlineVideoTool::lookupFinished);
        child("cmdG")->click();
        return !child("cmdG")->isEnabled() && finished.wait(30000);
    }

private slots:
    void init()
    {
        m_session = std::make_unique<Session>(sessionSetup(m_dir), m_services, m_services);
        m_session->player().setStarter([this](const QStringList &arguments) {
            m_starts << arguments;
            return qint64(4242);
        });
        m_window = std::make_unique<OnlineVideoWindow>(*m_session);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }
    void cleanup()
    {
        m_window.reset();
        m_session.reset();
    }

    void lookUpDownloadAndPlay()
    {
        QCOMPARE(enabled(), "10000100");
        m_server.serve("/thumb.jpg", readFile(CLIPWRIGHT_BIN_DIR "/plus.jpg"));
        m_server.serve("/video", QByteArray(2500, 'v'));
        const QString video = m_server.url("/video");
        m_server.serve("/watch",
                       watchPage("First", "v1", m_server.url("/thumb.jpg"),
                                 "22|" + video + ",34|" + video + ",35|http://h/hd,5|" + video)
                           .replace(">Film<", ">&lt;img src=&quot;/picture.jpg&quot;&gt;<"));
        QVERIFY(lookUp("/watch"));
        // The page's words are shown as they are, never as markup.
        QCOMPARE(
            QStringList({label("lblTitle1"), label("lblDur"), label("lblCat"), label("lblTitle")}),
            QStringList({"First", "42 Sec.", "<img src=\"/picture.jpg\">", "Links from the page"}));
        for (const char *name : {"lblTitle1", "lblCat", "lblTitle"})
            QCOMPARE(child<QLabel>(name)->textFormat(), Qt::PlainText);
        // The thumbnail (a white cross in the middle) in place of the dark loading picture.
        const QImage shown = child<QLabel>("picTitle")->pixmap().toImage();
        QVERIFY(qGray(shown.pixel(shown.width() / 2, shown.height() / 2)) > 200);
        QCOMPARE(enabled(), "01111100");

        // "Get MP4" downloads without asking; "Add to list" takes the file.
        ModalAnswerer answerer;
        QSignalSpy saved(&m_window->tool(), &OnlineVideoTool::downloadSaved);
        child("getMp4")->click();
        QVERIFY(saved.wait(20000));
        const QString first = m_dir.filePath("First.mp4");
        QCOMPARE(label("Label2"), "100 % ");
        QCOMPARE(child<QProgressBar>("pbDownload")->value(), 100);
        QCOMPARE(enabled(), "01111101");
        child("cmdAddList")->click();
        QCOMPARE(m_session->files().count() == 1 ? m_session->files().row(1)->FileName : "", first);
        QCOMPARE(enabled(), "01111100");

        // The others ask: Yes downloads, No plays the address in the frame.
        answerer.press = "Yes";
        child("getHDH")->click();
        QVERIFY(saved.wait(20000));
        answerer.press = "No";
        child("getFlv")->click();
        QCOMPARE(answerer.texts,
                 QStringList(2, "Download/Play i Do you want Download or Play this video?"));
        QVERIFY(m_window->previewFrame()->isVisible() && m_window->player().isClockRunning());
        QCOMPARE(m_window->previewPanel()->title(), "Preview of First");
        QCOMPARE(m_starts.size(), 1);
        QCOMPARE(m_starts.last().last(), video);
        // Hiding the frame stops the player; Preview plays HD High in it.
        QTest::mouseClick(child<QLabel>("Label6"), Qt::LeftButton);
        QVERIFY(!m_window->previewFrame()->isVisible() && !m_window->player().isClockRunning());
        child("cmdPR")->click();
        QVERIFY(m_window->previewFrame()->isVisible());
        QCOMPARE(m_starts.last().last(), "http://h/hd");

        // One transfer at a time, and Cancel ends it.
        m_server.serve("/video", LoopbackServer::Reply(QByteArray(5000, 's')).stallAfter(2048));
        QSignalSpy pieces(&m_window->tool(), &OnlineVideoTool::pieceWritten);
        child("getMp4")->click();
        QVERIFY(pieces.wait(20000));
        QCOMPARE(enabled(), "00000110");
        child("cmdCancel")->click();
        QTRY_COMPARE_WITH_TIMEOUT(label("lblTitle"), "Download cancelled", 20000);
        QCOMPARE(enabled(), "01111100");
    }

    // After a stream of unknown length, Last Frames in the main window goes
    // by the length of its own row.
    void mainWindowLastFramesAfterAStream()
    {
        QVERIFY(makeClip(m_dir.filePath("clip.avi"), 3));
        MainWindow main(*m_session);
        QSignalSpy probed(m_session.get(), &Session::probesFinished);
        main.AddFileToList(m_dir.filePath("clip.avi"));
        QVERIFY(probed.wait(20000) && m_session->files().select(1));
        main.player().Play();
        QByteArray page = watchPage("Live", "v1", "", "22|" + m_server.url("/video"));
        m_server.serve("/live", page.replace("\"42\"", "\"\""));
        QVERIFY(lookUp("/live"));
        child("cmdPR")->click(); // without HD High, Preview plays the MP4 stream
        QCOMPARE(m_starts.last().last(), m_server.url("/video"));
        m_window->accept();
        main.findChild<QPushButton *>("Command5")->click();
        QCOMPARE(m_starts.last().mid(m_starts.last().indexOf("-ss"), 2), QStringList({"-ss", "3"}));
    }
};

QTEST_MAIN(TestOnlineVideoWindow)
#include "tst_OnlineVideoWindow.moc"
