#include "../SessionSupport.h"
#include "engine/ConversionEngine.h"
#include "engine/OutputEstimator.h"
#include "session/Session.h"
#include "settings/IniFile.h"
#include "widgets/ClipEditorDialog.h"
#include "widgets/FileListModel.h"
#include "widgets/MainWindow.h"
#include "widgets/ProgressPanel.h"
#include "widgets/RangeTool.h"
#include "widgets/ShutdownCountdown.h"

#include <QTextDocument>

namespace {

// A session and the window on it, as the program builds them.
struct Program
{
    Program(const Session::Setup &setup, RecordingServices &services)
        : session(setup, services, services), window(session)
    {
    }
    Session session;
    MainWindow window;
    OptionSheet &sheet() { return session.sheet(); }
    ConversionList &files() { return session.files(); }
    ConversionEngine &engine() { return session.engine(); }
};

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_clip = m_dir.filePath("clip <b>one.avi"), m_long = m_dir.filePath("long <i>two.avi");
    QString m_settings = m_dir.filePath("settings.dat");
    QStringList m_calls;
    RecordingServices m_recorder{m_calls};

    // Ready: FFmpeg has listed its encoders, the stored profile is applied.
    std::unique_ptr<Program> makeWindow(const QString &mplayer = resolveProgram("mplayer"))
    {
        auto program = std::make_unique<Program>(sessionSetup(m_dir, mplayer), m_recorder);
        QSignalSpy ready(&program->session, &Session::ready);
        if (!program->session.isReady())
            [&] { QVERIFY(ready.wait(10000)); }();
        return program;
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
        MainWindow &w1 = first->window;
        QCOMPARE(w1.outputFolderLabel()->text(), "Video Output Folder: " + m_dir.path());
        QVERIFY(WriteIniValue(m_settings, "set", "profile", "5"));
        auto fifth = makeWindow();
        MainWindow &w5 = fifth->window;
        QVERIFY(w1.profilePosition() == 0 && w5.profilePosition() == 5);
        // The box loses its grey hint look with the stored profile.
        QVERIFY(!w1.profileCombo()->property("chosen").toBool() &&
                w5.profileCombo()->property("chosen").toBool());
        w5.selectProfile(3);
        w5.exitProgram(); // Ctrl+X
        QCOMPARE(ReadIniValue(m_settings, "Set", "profile"), QString("3"));
    }

    void dropRule()
    {
        // One rule for "Add Files" and drops: the open dialog's extensions, in
        // any case, on the name alone. A folder gives its media files,
        // subfolders too, in name order.
        const QString folder = m_dir.filePath("drop");
        for (const char *name : {"b10.mp4", "B9.avi", "notes.txt", ".cw-12345678.mp4", "t.dvr-ms",
                                 "sub.avi/a.ogg", "sub.avi/deeper/c.webm", "sub.avi/myavi"})
            QVERIFY(QDir().mkpath(QFileInfo(folder + "/" + name).path()) &&
                    writeFile(folder + "/" + name, ""));
        auto w = makeWindow();
        ModalAnswerer answerer;
        const QUrl latin1 = QUrl::fromEncoded("file:///v/caf%E9.avi");
        w->window.addDroppedFiles({QUrl::fromLocalFile(m_dir.filePath("a é.avi")), latin1,
                                   QUrl::fromLocalFile(folder),
                                   QUrl::fromLocalFile(m_dir.filePath("z.txt")),
                                   QUrl::fromLocalFile(m_dir.filePath("c.MKV"))});
        QCOMPARE(answerer.texts,
                 QStringList({"Clipwright ! The file name is not valid UTF-8: /v/caf\\xe9.avi",
                              "Clipwright i Only Video files are allowed! Not added: z.txt"}));
        QStringList added;
        for (int row = 1; row <= w->files().count(); ++row)
            added << w->files().row(row)->FileName.mid(m_dir.path().size() + 1);
        QCOMPARE(added, QStringList({"a é.avi", "drop/B9.avi", "drop/b10.mp4", "drop/sub.avi/a.ogg",
                                     "drop/sub.avi/deeper/c.webm", "drop/t.dvr-ms", "c.MKV"}));
    }

    void selectRemoveClear()
    {
        const QString mplayer = m_dir.filePath("mplayer"); // answers after the editor's OK
        QVERIFY(writeScript(mplayer, "sleep 2\nprintf 'ID_VIDEO_WIDTH=640\\nID_VIDEO_HEIGHT="
                                     "360\\nID_LENGTH=30.00\\nID_VIDEO_FORMAT=H264\\n'\n"));
        auto w = makeWindow(mplayer);
        QSignalSpy done(&w->session, &Session::probesFinished);
        w->window.AddFileToList(m_clip);
        w->window.AddFileToList(m_clip);
        QCOMPARE(w->files().count(), 2); // rows appear at once, and fill later
        QTableView *view = w->window.fileView();
        view->selectRow(1);
        emit view->clicked(view->model()->index(1, 0));
        QCOMPARE(*w->sheet().value("General", "Item Name"), m_clip);
        // What the clip editor sets shows in the sheet at once, and stays when
        // the row's probe ends.
        QTimer::singleShot(0, this, [] {
            auto *editor = qobject_cast<ClipEditorDialog *>(QApplication::activeModalWidget());
            QVERIFY(editor);
            editor->rangeTool()->setUpperValue(10);
            editor->rangeTool()->setLowerValue(5);
            emit editor->rangeTool()->Change();
            editor->ConfirmEditor();
        });
        emit view->doubleClicked(view->model()->index(1, 0));
        QCOMPARE(*w->sheet().value("Output Duration", "Start Time"), QString("0:00:05"));
        QVERIFY(done.wait(20000));
        const ConversionItem *r = w->files().row(2);
        QCOMPARE(QStringList({r->Start, r->End, r->VideoTime, r->Size, r->Format}).join('|'),
                 QString("0:00:05|0:00:10|0:00:30|640x360|H264"));
        QCOMPARE(w->files().row(1)->End, QString("0:00:30")); // not chosen: the probe's
        w->window.RemoveSelectedFile();
        QCOMPARE(w->files().count(), 1);
        w->window.ClearAllFiles();
        QCOMPARE(view->model()->rowCount(), 0);
    }

    // Two rows converting at once: the entries that would change the batch are
    // off, each status cell draws its own percent as a bar, and the caption
    // counts the files; Cancel ends it with its message. A close during the
    // next run waits until FFmpeg has closed its files.
    void convertThroughTheWindow()
    {
        const QString out = m_dir.filePath("out");
        QVERIFY(QDir().mkpath(out) && WriteIniValue(m_settings, "set", "outputfolder", out) &&
                WriteIniValue(m_settings, "set", "jobs", "2"));
        auto program = makeWindow();
        MainWindow &w = program->window;
        w.selectProfile(2);
        w.resize(1000, 600);
        w.show();
        w.AddFileToList(m_long);
        w.AddFileToList(m_long);
        ModalAnswerer answerer;
        // The entries (menu bar, context menu, toolbar) that are off: a batch
        // turns off what would change it or record beside it.
        const auto off = [&w] {
            QStringList names;
            for (QObject *entry : w.findChildren<QObject *>())
                if ((qobject_cast<QAction *>(entry) || qobject_cast<QAbstractButton *>(entry)) &&
                    !entry->property("enabled").toBool())
                    names << entry->objectName();
            names.sort();
            return names.join(' ');
        };
        w.BurnNow();
        QVERIFY(w.progressPanel()->isVisibleTo(&w));
        QCOMPARE(off(), QString("BurnNow Capture Capture1 ClearAllFiles ClearAllItems "
                                "RemoveSelectedFile RemoveSelectedItem clear-all clip convert-now "
                                "convertnow1 cuttime fitToSize remove-file videoclip "
                                "videowatermarkt watermark"));
        QTableView *view = w.fileView();
        const int status = int(ConversionItem::Field::Status);
        const auto cell = [view](int row, int column) { return view->model()->index(row, column); };
        const auto percent = [&](int row) {
            return cell(row, status).data(FileListModel::ProgressRole);
        };
        QTRY_VERIFY_WITH_TIMEOUT(percent(0).toInt() > 0 && percent(1).toInt() > 0, 20000);
        QCOMPARE(w.progressPanel()->caption(), QString("Progress....Converting 2 files at once"));
        view->scrollTo(cell(0, status));
        const QImage shot = view->grab().toImage();
        const QColor bar = view->palette().color(QPalette::Highlight);
        for (int row : {0, 1}) { // the bar's colour along the top of the cell
            const QRect rect =
                view->visualRect(cell(row, status)).translated(view->viewport()->pos());
            int filled = 0;
            for (int x = rect.left(); x <= rect.right(); ++x) {
                const QColor c = shot.pixelColor(x, rect.top() + 4);
                filled += qAbs(c.red() - bar.red()) + qAbs(c.green() - bar.green()) +
                              qAbs(c.blue() - bar.blue()) <
                          96;
            }
            QVERIFY2(filled > 0, qPrintable(QString("row %1 draws no bar").arg(row + 1)));
        }
        w.progressPanel()->cancelButton()->click();
        QTRY_VERIFY_WITH_TIMEOUT(!program->engine().isBusy(), 20000);
        QVERIFY(!percent(0).isValid() && !percent(1).isValid());
        QCOMPARE(answerer.texts, QStringList({"Clipwright ! Conversion Canceled by the user!"}));
        QVERIFY(!w.progressPanel()->isVisibleTo(&w));
        QCOMPARE(off(), QString());
        QTextDocument tip; // a file name's markup is shown as it is
        tip.setHtml(cell(0, 0).data(Qt::ToolTipRole).toString());
        QCOMPARE(tip.toPlainText(), m_long);

        w.BurnNow();
        QTRY_VERIFY_WITH_TIMEOUT(percent(0).toInt() >= 2 && percent(1).toInt() >= 2, 20000);
        QVERIFY(!w.close());
        QCOMPARE(w.statusBar()->currentMessage(), QString("Finishing the current files…"));
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), 20000);
        QCOMPARE(answerer.texts.size(), 1); // no box for the closing run
    }

    void estimateUnderTheSheet()
    {
        auto w = makeWindow();
        w->window.selectProfile(2);
        OutputEstimator &estimator = w->session.estimator();
        estimator.setDelay(0);
        w->window.AddFileToList(m_long);
        w->window.AddFileToList(m_clip);
        w->files().select(1);
        const auto shown = [&w] {
            const QStringList lines = w->window.estimateLabel()->text().split('\n');
            return lines.size() == 2 && lines[0].startsWith("About ") &&
                   lines[1].startsWith("All 2 files: about ") && !lines[1].contains("without");
        };
        QTRY_VERIFY2_WITH_TIMEOUT(shown(), qPrintable(w->window.estimateLabel()->text()), 60000);
        // A sample stays for "Preview the output" while the window is open,
        // and the window's sample folder goes with it.
        QVERIFY(QFileInfo::exists(estimator.previewFile(w->files().idAt(1))));
        w.reset();
        QCOMPARE(QDir(m_dir.filePath("Cache/samples"))
                     .entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
    }

    void hoverDragAndPlayWithoutMplayer()
    {
        auto program = makeWindow(QString());
        MainWindow *w = &program->window;
        w->show();
        w->AddFileToList(m_clip);
        QVERIFY(program->files().select(1));
        w->findChild<QAction *>("play")->trigger();
        QCOMPARE(w->statusBar()->currentMessage(),
                 QString("MPlayer was not found; the preview is not available"));
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
        QTest::mouseMove(panel, QPoint(130, 70));
        QTest::mouseRelease(panel, Qt::LeftButton, {}, QPoint(130, 70));
        QCOMPARE(panel->pos(), QPoint(140, 90)); // the grabbed point follows the pointer
    }

    void shutdownCountdown()
    {
        CountdownPowerControl countdown(m_recorder, nullptr, 1);
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
