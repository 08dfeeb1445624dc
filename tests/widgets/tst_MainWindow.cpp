#include "../TestSupport.h"
#include "settings/IniFile.h"
#include "widgets/MainWindow.h"
#include "widgets/ProgressPanel.h"
#include "widgets/ShutdownCountdown.h"

class TestMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_clip = m_dir.filePath("clip one.avi"), m_long = m_dir.filePath("long.avi");
    QString m_settings = m_dir.filePath("settings.dat");
    QStringList m_calls;
    RecordingServices m_recorder{m_calls};

    std::unique_ptr<MainWindow> makeWindow()
    {
        return std::make_unique<MainWindow>(MainWindow::Services{
            CLIPWRIGHT_BIN_DIR, m_settings, m_dir.path(), resolveProgram("ffmpeg"),
            resolveProgram("mplayer"), &m_recorder, &m_recorder, 1});
    }
    // The seven options a profile sets.
    static QStringList seven(MainWindow &w)
    {
        QStringList values;
        for (const char *item : {"Video Codec", "Video Bitrate", "Video Framerate", "Video Size"})
            values << *w.sheet().value("Video Options", item);
        for (const char *item : {"Audio Codec", "Audio Bitrate", "Sample Rate"})
            values << *w.sheet().value("Audio Options", item);
        return values;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(makeClip(m_clip, 2, "320x240", "mp2") && makeClip(m_long, 60, "320x240", "mp2"));
    }
    void init()
    {
        QFile::remove(m_settings);
        m_calls.clear();
    }

    void startUpAndStoredProfile()
    {
        auto first = makeWindow();
        QCOMPARE(first->windowTitle(), QString("Clipwright 4.50"));
        QVERIFY(first->profileCombo()->count() >= 48 && first->profilePosition() == 0);
        QCOMPARE(seven(*first), QStringList(7, "N/A"));
        QCOMPARE(first->outputFolderLabel()->text(), "Video Output Folder: " + m_dir.path());
        QVERIFY(!first->progressPanel()->isVisible());

        QVERIFY(WriteIniValue(m_settings, "set", "profile", "5"));
        auto fifth = makeWindow();
        QVERIFY(fifth->profilePosition() == 5 && seven(*fifth) != QStringList(7, "N/A"));
        fifth->selectProfile(1); // a category selects the profile after it
        QCOMPARE(fifth->profilePosition(), 2);
        fifth->selectProfile(3);
        fifth->exitProgram(); // Ctrl+X
        QCOMPARE(ReadIniValue(m_settings, "Set", "profile"), QString("3"));
        QCOMPARE(makeWindow()->profilePosition(), 3);
    }

    void dropRule()
    {
        const std::pair<const char *, bool> names[] = {
            {"a.avi", true},      {"b.txt", false},       {"c.mkv", true},  {"clip.Rm", true},
            {"NOTES.FORM", true}, {"movie.mpeg4", false}, {"x.WEBM", true}, {"y.m2ts", true}};
        for (const auto &[name, accepted] : names)
            QVERIFY2(MainWindow::isAcceptedVideoName(name) == accepted, name);

        auto w = makeWindow();
        ModalAnswerer answerer;
        w->addDroppedFiles(
            {m_dir.filePath("a.avi"), m_dir.filePath("b.txt"), m_dir.filePath("c.mkv")});
        QCOMPARE(answerer.texts, QStringList({"Clipwright i Only Video files are allowed!"}));
        QVERIFY(w->files().count() == 1 && w->files().row(1)->FileName == m_dir.filePath("a.avi"));
    }

    void addSelectRemoveClear()
    {
        auto w = makeWindow();
        QSignalSpy done(w.get(), &MainWindow::probesFinished);
        for (int i = 0; i < 3; ++i)
            w->AddFileToList(m_clip);
        QCOMPARE(w->files().count(), 3);              // rows appear at once
        QCOMPARE(w->files().row(3)->Size, QString()); // and fill later
        QVERIFY(done.wait(20000));
        const ConversionItem *row = w->files().row(2);
        QCOMPARE(QStringList({row->Start, row->End, row->VideoTime, row->Size, row->Format}),
                 QStringList({"0:00:00", "0:00:02", "0:00:02", "320x240", "FMP4"}));

        QTableView *view = w->fileView();
        view->selectRow(1);
        emit view->clicked(view->model()->index(1, 0));
        QCOMPARE(QStringList({*w->sheet().value("General", "Item Name"),
                              *w->sheet().value("Output Duration", "Start Time"),
                              *w->sheet().value("Output Duration", "Stop Time"),
                              *w->sheet().value("Output Duration", "All Clip Duration")}),
                 QStringList({m_clip, "0:00:00", "0:00:02", ""}));
        w->RemoveSelectedFile();
        QCOMPARE(w->files().count(), 2);
        w->ClearAllFiles();
        QCOMPARE(view->model()->rowCount(), 0);
    }

    void convertThroughTheWindow()
    {
        const QString out = m_dir.filePath("converted");
        QVERIFY(QDir().mkpath(out) && WriteIniValue(m_settings, "set", "outputfolder", out));
        auto w = makeWindow();
        w->selectProfile(2);
        for (int i = 0; i < 2; ++i)
            w->AddFileToList(m_clip);
        QSignalSpy finished(&w->engine(), &ConversionEngine::batchFinished);
        QSignalSpy total(&w->engine(), &ConversionEngine::totalProgressChanged);
        ModalAnswerer answerer;
        w->BurnNow();
        QVERIFY(w->progressPanel()->isVisibleTo(w.get()));
        QVERIFY(finished.wait(60000));
        QCOMPARE(w->files().row(1)->Status + w->files().row(2)->Status, QString("OKOK"));
        QCOMPARE(answerer.texts, QStringList({"Clipwright i Conversion completed!"}));
        QCOMPARE(m_calls, QStringList({"open " + out}));
        QCOMPARE(firstArguments(total), QList<int>({0, 50, 100, 100, 0}));
        QVERIFY(!w->progressPanel()->isVisibleTo(w.get()));
    }

    void cancelAndInvalidInput()
    {
        auto w = makeWindow();
        w->selectProfile(2);
        ModalAnswerer answerer;
        w->progressPanel()->cancelButton()->click(); // nothing runs: nothing happens
        w->AddFileToList(m_long);
        QSignalSpy finished(&w->engine(), &ConversionEngine::batchFinished);
        w->BurnNow();
        QTimer::singleShot(1000, w->progressPanel()->cancelButton(), &QPushButton::click);
        QVERIFY(finished.wait(30000) && w->files().row(1)->Status == "Cancel");
        QTRY_VERIFY_WITH_TIMEOUT(!w->engine().isBusy(), 20000);

        const QString gone = m_dir.filePath("gone.avi");
        QVERIFY(QFile::copy(m_clip, gone));
        w->ClearAllFiles();
        w->AddFileToList(gone);
        QVERIFY(QFile::remove(gone));
        w->BurnNow(); // stops at once
        QCOMPARE(finished.count(), 2);
        QCOMPARE(answerer.texts, QStringList({"Clipwright ! Conversion Canceled by the user!",
                                              "Clipwright ! Invalid input file name. " + gone}));
        QVERIFY(m_calls.isEmpty());
    }

    void hoverMarkAndPanelDrag()
    {
        auto w = makeWindow();
        w->show();
        const QList<QToolButton *> buttons = w->toolButtons();
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(buttons[0], &enter); // "Add Files"
        QApplication::sendEvent(buttons[3], &enter); // "Options"
        QVERIFY(buttons[0]->property("hoverMark").toBool() &&
                buttons[3]->property("hoverMark").toBool());
        QMouseEvent overPanel(QEvent::MouseMove, QPointF(1, 1), QPointF(1, 1), Qt::NoButton,
                              Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w->toolBarPanel(), &overPanel);
        for (QToolButton *b : buttons)
            QVERIFY(!b->property("hoverMark").toBool());

        ProgressPanel *panel = w->progressPanel();
        panel->show();
        panel->move(40, 40);
        QTest::mousePress(panel, Qt::LeftButton, {}, QPoint(30, 20));
        QMouseEvent move(QEvent::MouseMove, QPointF(130, 70), panel->mapToGlobal(QPointF(130, 70)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(panel, &move);
        QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(130, 70));
        QCOMPARE(panel->pos(), QPoint(140, 90)); // the grabbed point follows the pointer
    }

    void shutdownCountdown()
    {
        CountdownPowerControl countdown(m_recorder, nullptr, 2);
        {
            ModalAnswerer answerer;
            answerer.press = "Cancel";
            countdown.powerOff();
        }
        QVERIFY(m_calls.isEmpty());
        countdown.powerOff(); // runs out
        QCOMPARE(m_calls, QStringList({"power off"}));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
