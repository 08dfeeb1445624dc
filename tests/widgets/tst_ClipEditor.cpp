#include "../SessionSupport.h"
#include "engine/ConversionEngine.h"
#include "media/PlayerController.h"
#include "session/Session.h"
#include "settings/IniFile.h"
#include "widgets/ClipEditorDialog.h"
#include "widgets/RangeTool.h"

class TestClipEditor : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    // A name that reads as an option and holds quotes, a ";" and non-ASCII letters.
    QString m_clip = m_dir.filePath("-my \"odd\" clip; été.avi"),
            m_logo = m_dir.filePath("my logo.png"), m_oddLogo = m_dir.filePath("logo;v2.png");
    QStringList m_calls;
    RecordingServices m_services{m_calls};
    std::unique_ptr<Session> m_session;

    std::unique_ptr<ClipEditorDialog> open(int position = 1)
    {
        m_session->editorInputs() = EditorInputs::fromRow(*m_session->files().row(position));
        auto editor = std::make_unique<ClipEditorDialog>(*m_session, position);
        editor->show();
        return editor;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(makeClip(m_clip, 8));
        QImage logo(16, 16, QImage::Format_ARGB32);
        logo.fill(QColor(255, 0, 255));
        QVERIFY(logo.save(m_logo) && logo.save(m_oddLogo, "PNG"));
        m_session = readySession(m_dir, m_services);
        QVERIFY(m_session->isReady());
    }

    void edit_data()
    {
        // The row (Start, End, Video Time), the steps (L/U: a thumb
        // released at a second, P: the logo chosen, S: one with ";" in its name, C: "Enable
        // WaterMark" checked, "TEXT": typed into the place box, OK, Cancel), what the boxes show
        // then, and the row afterwards or the message OK gave.
        addColumns<QStringList, QString, QString, QString>("row", "steps", "shown", "result");
        const QStringList plain = {"0:00:00", "0:01:40", "0:01:40"};
        newRow("thumbs at 30 and 90", plain, "L30 U90 OK", "0:00:30|0:01:30|0:01:00|0 100 30 90",
               "0:00:30|0:01:30|");
        newRow("equal thumbs", plain, "L50 U50 OK", "0:00:50|0:00:50|0:00:00|0 100 50 50",
               "Start time or End time is error.");
        newRow("0:59:59 before 1:00:00", QStringList{"0:59:59", "1:00:00", "1:00:00"}, "OK",
               "0:59:59|1:00:00|0:00:01|0 3600 3599 3600", "0:59:59|1:00:00|");
        newRow("check without a picture", plain, "C OK", "", "0:00:00|0:01:40|");
        newRow("typed place, blanks dropped", plain, "P C \"  Center \" OK", "",
               "0:00:00|0:01:40|image;" + m_logo + ";area;Center");
        newRow("typed place refused", plain, "P C Middle OK", "", "Choose one of the five places.");
        newRow("picture path with ;", plain, "S C OK", "",
               "The picture path must not contain \";\": " + m_oddLogo);
        newRow("picture, wrong place, no check", plain, "P Middle OK", "", "0:00:00|0:01:40|");
        newRow("Cancel", plain, "L30 P C Cancel", "", "0:00:00|0:01:40|");
    }
    void edit()
    {
        QFETCH(QStringList, row);
        QFETCH(QString, steps);
        QFETCH(QString, shown);
        QFETCH(QString, result);
        ConversionList &list = m_session->files();
        QVERIFY(m_session->clearFiles());
        list.append(m_clip);
        using Field = ConversionItem::Field;
        const Field fields[] = {Field::Start, Field::End, Field::VideoTime};
        for (int i = 0; i < 3; ++i)
            QVERIFY(list.setField(1, fields[i], row[i]));

        auto editor = open();
        QCOMPARE(editor->windowTitle(), "Clip Time  -  " + m_clip);
        RangeTool *range = editor->rangeTool();
        ModalAnswerer answerer;
        for (const QString &step : QProcess::splitCommand(steps)) {
            if (step == "OK" || step == "Cancel") {
                editor->findChild<QPushButton *>(step == "OK" ? "Command1" : "Command2")->click();
            } else if (step == "P" || step == "S") {
                editor->useWatermarkPicture(step == "P" ? m_logo : m_oddLogo);
            } else if (step == "C") {
                editor->findChild<QCheckBox *>("Check1")->setChecked(true);
            } else if (step[0] == 'L' || step[0] == 'U') {
                (range->*(step[0] == 'L' ? &RangeTool::setLowerValue : &RangeTool::setUpperValue))(
                    step.mid(1).toInt());
                emit range->Change(); // as a thumb's release does
            } else {
                editor->findChild<QComboBox *>("Combo1")->setCurrentText(step);
            }
        }
        if (!shown.isEmpty()) {
            QStringList boxes;
            for (const char *name : {"Text1", "Text2", "Text3"})
                boxes << editor->findChild<QLineEdit *>(name)->text();
            boxes << QString::asprintf("%d %d %d %d", range->min(), range->max(),
                                       range->lowerValue(), range->upperValue());
            QCOMPARE(boxes.join('|'), shown);
        }
        const ConversionItem *after = list.row(1);
        const QString written = after->Start + '|' + after->End + '|' + after->Watermark;
        if (result.contains('|')) {
            QCOMPARE(written, result);
            QVERIFY(!editor->isVisible());
        } else { // refused: it stays open, nothing written
            QCOMPARE(answerer.texts, QStringList({"Clipwright ! " + result}));
            QVERIFY(editor->isVisible());
            QCOMPARE(written, row[0] + '|' + row[1] + '|');
        }
    }

    // The editor's clip and watermark make a command FFmpeg converts (where
    // the mark goes is tst_CommandBuilder's matter), and the editor shows the
    // mark again.
    void clipAndMarkConverted()
    {
        const QString out = m_dir.filePath("out");
        QVERIFY(QDir().mkpath(out) &&
                WriteIniValue(m_dir.filePath("settings.dat"), "set", "outputfolder", out));
        QVERIFY(m_session->clearFiles());
        QSignalSpy probed(m_session.get(), &Session::probesFinished);
        m_session->AddFileToList(m_clip);
        QVERIFY(probed.wait(20000));
        QVERIFY(m_session->selectProfile(2).position == 2);
        auto editor = open();
        editor->rangeTool()->setLowerValue(2);
        editor->rangeTool()->setUpperValue(5);
        emit editor->rangeTool()->Change();
        editor->useWatermarkPicture(m_logo);
        editor->findChild<QCheckBox *>("Check1")->setChecked(true);
        editor->findChild<QComboBox *>("Combo1")->setCurrentText("Bottom right corner");
        editor->ConfirmEditor();
        // Opened again, it shows the mark; Remove goes back to the placeholder.
        editor = open();
        QVERIFY(editor->findChild<QCheckBox *>("Check1")->isChecked());
        QCOMPARE(editor->findChild<QComboBox *>("Combo1")->currentText(), "Bottom right corner");
        QCOMPARE(editor->picture()->pixmap().toImage().pixelColor(8, 8), QColor(255, 0, 255));
        editor->RemoveWatermark();
        QVERIFY(editor->watermarkImage().isEmpty());
        QVERIFY(editor->picture()->pixmap().toImage().pixelColor(8, 8) != QColor(255, 0, 255));
        editor.reset(); // closed without OK: the row keeps its mark

        QSignalSpy rows(&m_session->engine(), &ConversionEngine::rowFinished);
        QVERIFY(m_session->engine().BurnNow());
        QTRY_VERIFY_WITH_TIMEOUT(!m_session->engine().isBusy(), 60000);
        QCOMPARE(rows.value(0).value(1).value<ConversionJob::Status>(), ConversionJob::Status::Ok);
        QVERIFY(qAbs(duration(rows[0][3].toString()) - 3) < 0.2);
    }
};

QTEST_MAIN(TestClipEditor)
#include "tst_ClipEditor.moc"
