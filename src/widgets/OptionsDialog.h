#pragma once

#include "settings/Settings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

// The "Video Options" dialog: output folder, what to do with an existing
// output file, shutdown after a batch and the FFmpeg thread count. It reads
// the settings when it is built and writes them all on OK; Cancel writes
// nothing.
class OptionsDialog : public QDialog
{
    Q_OBJECT

public:
    explicit OptionsDialog(const Settings &settings, QWidget *parent = nullptr);

private:
    void browse();
    void save();

    Settings m_settings;
    QLineEdit *m_folder;       // Text2
    QRadioButton *m_addNew;    // Option1
    QRadioButton *m_overwrite; // Option2
    QCheckBox *m_autoShut;     // Check1
    QLineEdit *m_threads;      // Text1
    QComboBox *m_jobs;         // "Automatic", 1..8
};
