#include "../TestSupport.h"
#include "settings/Settings.h"
#include "widgets/OptionsDialog.h"

namespace {

template <typename T> T *child(const OptionsDialog &dialog, const char *name)
{
    return dialog.findChild<T *>(QLatin1String(name));
}

// The controls as "outputfolder|existedfile|autoshut|thread|jobs", 0/1 as
// stored, jobs as the combo shows it.
QString state(const OptionsDialog &d)
{
    return QStringList{child<QLineEdit>(d, "Text2")->text(),
                       QString::number(child<QRadioButton>(d, "Option2")->isChecked()),
                       QString::number(child<QCheckBox>(d, "Check1")->isChecked()),
                       child<QLineEdit>(d, "Text1")->text(),
                       child<QComboBox>(d, "cboJobs")->currentText()}
        .join('|');
}

void setState(OptionsDialog &d, const QString &state)
{
    const QStringList v = state.split('|');
    child<QLineEdit>(d, "Text2")->setText(v[0]);
    child<QRadioButton>(d, v[1] == "1" ? "Option2" : "Option1")->setChecked(true);
    child<QCheckBox>(d, "Check1")->setChecked(v[2] == "1");
    child<QLineEdit>(d, "Text1")->setText(v[3]);
    auto *jobs = child<QComboBox>(d, "cboJobs");
    jobs->setCurrentIndex(jobs->findText(v.value(4, "Automatic")));
}

} // namespace

class TestOptionsDialog : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString m_file;

private slots:
    void init()
    {
        QVERIFY(m_dir.emplace().isValid());
        m_file = m_dir->filePath("settings.dat");
    }

    void opens_data()
    {
        addColumns<QByteArray, QString>("content", "shown");
        newRow("as stored",
               QByteArray("[set]\noutputfolder=/o\nexistedfile=1\nautoshut=1\n"
                          "thread=4 cores\njobs=3"),
               "/o|1|1|4 cores|3");
        // Shown as a conversion reads them (tst_Settings reads them); OK must
        // not turn "2" into overwriting.
        newRow("as a conversion reads them",
               QByteArray("[Set]\nexistedfile=2\noutputfolder=0\nautoshut=2\njobs=9\n"),
               "/default|0|0||Automatic");
    }
    void opens()
    {
        QFETCH(QByteArray, content);
        QVERIFY(writeFile(m_file, content));
        QTEST(state(OptionsDialog(Settings(m_file, "/default"))), "shown");
    }

    // The input, the button, the message it gives and the values then written
    // into a missing file, which also shows the order of writing. Refused input
    // and a failed write keep the dialog open with the user's input and write
    // nothing; Cancel writes nothing. How a thread count is read is
    // tst_Settings' matter.
    void saves_data()
    {
        addColumns<QString, QString, QString, QString>("input", "button", "message", "saved");
        newRow("8", "/out|0|1|8|8", "Command1", "", "/out|0|1|8|8");
        newRow("4 cores", "/out|1|0|4 cores|1", "Command1", "", "/out|1|0|4|1");
        newRow("empty", "|0|1|", "Command1", "", "|0|1|0|0");
        newRow("Cancel", "/b|1|1|4", "Command2", "", "");
        for (const char *threads : {"9", "8.5", " 12 cores"})
            newRow(threads, "/out|1|1|" + QString(threads) + "|2", "Command1",
                   "Clipwright ! Thread error!", "");
        newRow("failed write", "/out|1|1|2|2", "Command1",
               "Clipwright ! The settings could not be saved to %1.", "");
    }
    void saves()
    {
        QFETCH(QString, input);
        QFETCH(QString, button);
        QFETCH(QString, message);
        QFETCH(QString, saved);
        // A folder in the file's place cannot be replaced, even by root.
        QVERIFY(!message.contains("%1") || QDir().mkdir(m_file));
        OptionsDialog dialog(Settings(m_file, "/default"));
        setState(dialog, input);
        ModalAnswerer answerer; // a box's first line as "title ! text" ("!": critical)
        dialog.show();
        child<QPushButton>(dialog, qPrintable(button))->click();
        QCOMPARE(answerer.texts.join('\n'),
                 message.replace("%1", QDir::toNativeSeparators(m_file)));
        if (!message.isEmpty()) {
            QVERIFY(dialog.isVisible());
            QCOMPARE(state(dialog), input);
        }
        QCOMPARE(dialog.result(), int(saved.isEmpty() ? QDialog::Rejected : QDialog::Accepted));
        const QStringList v = saved.split('|') + QStringList(4); // five when nothing is saved
        const QString text = "[set]\noutputfolder=%1\nexistedfile=%2\nautoshut=%3\n"
                             "thread=%4\njobs=%5\n";
        const QByteArray file = text.arg(v[0], v[1], v[2], v[3], v[4]).toUtf8();
        QCOMPARE(readFile(m_file), saved.isEmpty() ? QByteArray() : file);
    }
};

QTEST_MAIN(TestOptionsDialog)
#include "tst_OptionsDialog.moc"
