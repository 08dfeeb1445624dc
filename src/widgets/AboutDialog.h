#pragma once

#include <QDialog>

// The About window: name, version, what the program does and the projects
// it is built on.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);
};
