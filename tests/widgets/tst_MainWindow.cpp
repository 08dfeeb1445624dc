#include "engine/SystemServices.h"
#include "settings/IniFile.h"
#include "settings/ProgramFolders.h"
#include "widgets/FileListModel.h"
#include "widgets/MainWindow.h"
#include "widgets/ProgressPanel.h"
#include "widgets/ShutdownCountdown.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace {

struct Recorder : PowerControl, FolderOpener
{
    QStringList calls;
    void powerOff() override { calls << "power off"; }
    void openFolder(const QString &folder) override { calls << "open " + folder; }
};

// Answers every modal box that comes up: records its text and presses the
// button named `press` (OK by default).
struct ModalAnswerer : QObject
{
    QStringList texts;
    QString press = "OK";
    QTimer timer;
    ModalAnswerer()
    {
        timer.setInterval(20);
        connect(&timer, &QTimer::timeout, this, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            if (auto *box = qobject_cast<QMessageBox *>(modal))
                texts << box->windowTitle() + ": " + box->text();
            for (auto *button : modal->findChildren<QAbstractButton *>()) {
                if (button->text().remove('&') == press) {
                    button->click();
                    return;
                }
            }
        });
        timer.start();
    }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void startUpAndStoredProfile();
    void dropRule();
    void addSelectRemoveClear();
    void convertThroughTheWindow();
    void cancelAndInvalidInput();
    void hoverMarkAndPanelDrag();
    void shutdownCountdown();

private:
    std::unique_ptr<MainWindow> makeWindow();
    QStringList seven(MainWindow &w);

    QTemporaryDir m_dir;
    QString m_clip, m_long;
    Recorder m_recorder;
};

void TestMainWindow::initTestCase()
{
    m_clip = m_dir.filePath("clip one.avi");
    m_long = m_dir.filePath("long.avi");
    for (const auto &[path, seconds] : {std::pair{m_clip, "2"}, {m_long, "60"}}) {
        QProcess ffmpeg;
        ffmpeg.start(resolveProgram("ffmpeg"),
                     {"-v", "error", "-f", "lavfi", "-i", "testsrc=size=320x240:rate=25", "-f",
                      "lavfi", "-i", "sine", "-t", seconds, "-c:v", "mpeg4", "-c:a", "mp2", path});
        QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
    }
}

void TestMainWindow::init()
{
    QFile::remove(m_dir.filePath("settings.dat"));
    m_recorder.calls.clear();
}

std::unique_ptr<MainWindow> TestMainWindow::makeWindow()
{
    MainWindow::Services services;
    services.dataFolder = CLIPWRIGHT_BIN_DIR;
    services.settingsFile = m_dir.filePath("settings.dat");
    services.writableFolder = m_dir.path();
    services.ffmpeg = resolveProgram("ffmpeg");
    services.mplayer = resolveProgram("mplayer");
    services.power = &m_recorder;
    services.opener = &m_recorder;
    services.shutdownCountdownSeconds = 1;
    return std::make_unique<MainWindow>(services);
}

QStringList TestMainWindow::seven(MainWindow &w)
{
    QStringList values;
    for (const char *item : {"Video Codec", "Video Bitrate", "Video Framerate", "Video Size"})
        values << *w.sheet().value("Video Options", item);
    for (const char *item : {"Audio Codec", "Audio Bitrate", "Sample Rate"})
        values << *w.sheet().value("Audio Options", item);
    return values;
}

void TestMainWindow::startUpAndStoredProfile()
{
    auto first = makeWindow();
    QCOMPARE(first->windowTitle(), QString("Clipwright 4.50"));
    QVERIFY(first->profileCombo()->count() >= 48);
    QCOMPARE(first->profilePosition(), 0);
    QCOMPARE(seven(*first), QStringList(7, "N/A"));
    QCOMPARE(first->outputFolderLabel()->text(), "Video Output Folder: " + m_dir.path());
    QVERIFY(!first->progressPanel()->isVisible());

    QVERIFY(WriteIniValue(m_dir.filePath("settings.dat"), "set", "profile", "5"));
    auto fifth = makeWindow();
    QCOMPARE(fifth->profilePosition(), 5);
    QVERIFY(seven(*fifth) != QStringList(7, "N/A"));
    fifth->selectProfile(1); // a category selects the profile after it
    QCOMPARE(fifth->profilePosition(), 2);
    fifth->selectProfile(3);
    fifth->exitProgram(); // Ctrl+X
    QCOMPARE(ReadIniValue(m_dir.filePath("settings.dat"), "Set", "profile"), QString("3"));
    QCOMPARE(makeWindow()->profilePosition(), 3);
}

void TestMainWindow::dropRule()
{
    const std::pair<const char *, bool> names[] = {
        {"a.avi", true},      {"b.txt", false},       {"c.mkv", true},  {"clip.Rm", true},
        {"NOTES.FORM", true}, {"movie.mpeg4", false}, {"x.WEBM", true}, {"y.m2ts", true}};
    for (const auto &[name, accepted] : names)
        QVERIFY2(MainWindow::isAcceptedVideoName(name) == accepted, name);

    auto w = makeWindow();
    ModalAnswerer answerer;
    w->addDroppedFiles({m_dir.filePath("a.avi"), m_dir.filePath("b.txt"), m_dir.filePath("c.mkv")});
    QCOMPARE(answerer.texts, QStringList({"Clipwright: Only Video files are allowed!"}));
    QCOMPARE(w->files().count(), 1);
    QCOMPARE(w->files().row(1)->FileName, m_dir.filePath("a.avi"));
}

void TestMainWindow::addSelectRemoveClear()
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
    QCOMPARE(*w->sheet().value("General", "Item Name"), m_clip);
    QCOMPARE(*w->sheet().value("Output Duration", "Start Time"), QString("0:00:00"));
    QCOMPARE(*w->sheet().value("Output Duration", "Stop Time"), QString("0:00:02"));
    QCOMPARE(*w->sheet().value("Output Duration", "All Clip Duration"), QString());
    w->RemoveSelectedFile();
    QCOMPARE(w->files().count(), 2);
    w->ClearAllFiles();
    QCOMPARE(view->model()->rowCount(), 0);
}

void TestMainWindow::convertThroughTheWindow()
{
    const QString out = m_dir.filePath("converted");
    QDir().mkpath(out);
    QVERIFY(WriteIniValue(m_dir.filePath("settings.dat"), "set", "outputfolder", out));
    auto w = makeWindow();
    w->selectProfile(2);
    w->AddFileToList(m_clip);
    w->AddFileToList(m_clip);
    QSignalSpy finished(&w->engine(), &ConversionEngine::batchFinished);
    QSignalSpy total(&w->engine(), &ConversionEngine::totalProgressChanged);
    ModalAnswerer answerer;
    w->BurnNow();
    QVERIFY(w->progressPanel()->isVisibleTo(w.get()));
    QVERIFY(finished.wait(60000));
    QCOMPARE(w->files().row(1)->Status + w->files().row(2)->Status, QString("OKOK"));
    QCOMPARE(answerer.texts, QStringList({"Clipwright: Conversion completed!"}));
    QCOMPARE(m_recorder.calls, QStringList({"open " + out}));
    QList<int> bars;
    for (const auto &args : total)
        bars << args.first().toInt();
    QCOMPARE(bars, QList<int>({0, 50, 100, 100, 0}));
    QVERIFY(!w->progressPanel()->isVisibleTo(w.get()));
}

void TestMainWindow::cancelAndInvalidInput()
{
    auto w = makeWindow();
    w->selectProfile(2);
    ModalAnswerer answerer;
    w->progressPanel()->cancelButton()->click(); // nothing runs: nothing happens
    w->AddFileToList(m_long);
    QSignalSpy finished(&w->engine(), &ConversionEngine::batchFinished);
    w->BurnNow();
    QTimer::singleShot(1000, w->progressPanel()->cancelButton(), &QPushButton::click);
    QVERIFY(finished.wait(30000));
    QCOMPARE(w->files().row(1)->Status, QString("Cancel"));
    QTRY_VERIFY_WITH_TIMEOUT(!w->engine().isBusy(), 20000);

    const QString gone = m_dir.filePath("gone.avi");
    QVERIFY(QFile::copy(m_clip, gone));
    w->ClearAllFiles();
    w->AddFileToList(gone);
    QVERIFY(QFile::remove(gone));
    w->BurnNow(); // stops at once
    QCOMPARE(finished.count(), 2);
    QCOMPARE(answerer.texts, QStringList({"Clipwright: Conversion Canceled by the user!",
                                          "Clipwright: Invalid input file name. " + gone}));
    QVERIFY(m_recorder.calls.isEmpty());
}

void TestMainWindow::hoverMarkAndPanelDrag()
{
    auto w = makeWindow();
    w->show();
    const QList<QToolButton *> buttons = w->toolButtons();
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(buttons[0], &enter); // "Add Files"
    QApplication::sendEvent(buttons[3], &enter); // "Options"
    QCOMPARE(buttons[0]->property("hoverMark").toBool() &&
                 buttons[3]->property("hoverMark").toBool(),
             true);
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

void TestMainWindow::shutdownCountdown()
{
    CountdownPowerControl countdown(m_recorder, nullptr, 2);
    {
        ModalAnswerer answerer;
        answerer.press = "Cancel";
        countdown.powerOff();
    }
    QVERIFY(m_recorder.calls.isEmpty());
    countdown.powerOff(); // runs out
    QCOMPARE(m_recorder.calls, QStringList({"power off"}));
    ShutdownCountdownDialog dialog(60);
    QVERIFY(dialog.findChild<QLabel *>()->text() == "Shutting down in 60 seconds");
}

QTEST_MAIN(TestMainWindow)
#include "tst_MainWindow.moc"
