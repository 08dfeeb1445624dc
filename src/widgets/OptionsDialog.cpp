#include "widgets/OptionsDialog.h"

#include "settings/NumberValue.h"
#include "widgets/MessageBoxes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

template <typename T> T *named(T *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

OptionsDialog::OptionsDialog(const Settings &settings, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_folder(named(new QLineEdit, "Text2")),
      m_addNew(named(new QRadioButton(QStringLiteral("Add \"New\" after filename")), "Option1")),
      m_overwrite(named(new QRadioButton(QStringLiteral("Overwrite the existed file")), "Option2")),
      m_autoShut(
          named(new QCheckBox(QStringLiteral("Automatically Shutdown Computer After Conversion")),
                "Check1")),
      m_threads(named(new QLineEdit, "Text1")), m_jobs(named(new QComboBox, "cboJobs"))
{
    setObjectName(QStringLiteral("Frmset"));
    setWindowTitle(QStringLiteral("Video Options"));

    auto *folderLabel = new QLabel(QStringLiteral("Output Folder"));
    folderLabel->setBuddy(m_folder);
    auto *browse = named(new QPushButton(QStringLiteral("Browse...")), "Command4");
    connect(browse, &QPushButton::clicked, this, &OptionsDialog::browse);
    auto *folderBox = new QGroupBox(QStringLiteral("Save Video Files to"));
    auto *folderRow = new QHBoxLayout(folderBox);
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(browse);

    auto *existingBox = new QGroupBox(QStringLiteral("If same as an existed file"));
    auto *existingColumn = new QVBoxLayout(existingBox);
    existingColumn->addWidget(m_addNew);
    existingColumn->addWidget(m_overwrite);

    // Wide enough for two digits and some room; the text stays free so that
    // "4 cores" is taken as 4.
    m_threads->setFixedWidth(m_threads->fontMetrics().horizontalAdvance(QLatin1Char('0')) * 6);
    auto *threadLabel = new QLabel(QStringLiteral("Number of threads to use for"));
    threadLabel->setBuddy(m_threads);
    auto *threadBox = new QGroupBox(QStringLiteral("Thread"));
    auto *threadRow = new QHBoxLayout(threadBox);
    threadRow->addWidget(threadLabel);
    threadRow->addWidget(m_threads);
    threadRow->addWidget(new QLabel(QStringLiteral("(0-8), 0 - Disable multi-thread")));
    threadRow->addStretch(1);

    m_jobs->addItem(QStringLiteral("Automatic"), 0);
    for (int jobs = 1; jobs <= Settings::MaxJobs; ++jobs)
        m_jobs->addItem(QString::number(jobs), jobs);
    m_jobs->setToolTip(QStringLiteral("How many files are converted at the same time. "
                                      "Automatic chooses from the processor cores and the "
                                      "encoders of the batch."));
    auto *jobsLabel = new QLabel(QStringLiteral("Simultaneous conversions"));
    jobsLabel->setBuddy(m_jobs);
    auto *jobsRow = new QHBoxLayout;
    jobsRow->addWidget(jobsLabel);
    jobsRow->addWidget(m_jobs);
    jobsRow->addStretch(1);

    auto *buttons = new QDialogButtonBox;
    auto *ok =
        named(buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole), "Command1");
    named(buttons->addButton(QStringLiteral("Cancel"), QDialogButtonBox::RejectRole), "Command2");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &OptionsDialog::save);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *column = new QVBoxLayout(this);
    column->addWidget(folderBox);
    column->addWidget(existingBox);
    column->addWidget(m_autoShut);
    column->addWidget(threadBox);
    column->addLayout(jobsRow);
    column->addStretch(1);
    column->addWidget(buttons);
    setMinimumWidth(480);

    // outputFolder() also maps "0" to the default folder, which is what a
    // conversion would use; the radios and the check box show the values the
    // way the conversion reads them.
    m_folder->setText(QDir::toNativeSeparators(m_settings.outputFolder()));
    const bool overwrite = m_settings.existedFile() == ExistingFilePolicy::Overwrite;
    m_addNew->setChecked(!overwrite);
    m_overwrite->setChecked(overwrite);
    m_autoShut->setChecked(m_settings.autoShut());
    m_threads->setText(m_settings.read(Settings::ThreadKey));
    m_jobs->setCurrentIndex(m_jobs->findData(m_settings.jobs()));
}

void OptionsDialog::browse()
{
    const QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Clipwright"),
                                                             m_folder->text().trimmed());
    if (!folder.isEmpty())
        m_folder->setText(QDir::toNativeSeparators(folder));
}

void OptionsDialog::save()
{
    if (numberValue(m_threads->text()) > 8) {
        showMessage(this, QStringLiteral("Thread error!"), MessageIcon::Critical);
        m_threads->setFocus();
        m_threads->selectAll();
        return;
    }
    // The keys are written one by one in this order; the first failure stops
    // the rest, and the dialog stays open so that nothing is lost silently.
    const bool saved =
        m_settings.setOutputFolder(m_folder->text()) &&
        m_settings.setExistedFile(m_addNew->isChecked() ? ExistingFilePolicy::AddNew
                                                        : ExistingFilePolicy::Overwrite) &&
        m_settings.setAutoShut(m_autoShut->isChecked()) &&
        m_settings.setThread(threadCount(m_threads->text())) &&
        m_settings.setJobs(m_jobs->currentData().toInt());
    if (!saved) {
        showMessage(this,
                    QStringLiteral("The settings could not be saved to %1.\nCheck that its "
                                   "folder exists and is writable.")
                        .arg(QDir::toNativeSeparators(m_settings.file())),
                    MessageIcon::Critical);
        return;
    }
    accept();
}
