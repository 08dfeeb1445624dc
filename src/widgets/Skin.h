#pragma once

#include <QString>

class QApplication;

// Loads the window skin, a Qt style sheet kept in a UTF-8 text file, and sets
// it as the application's style sheet so the main window and every dialog
// share it. Relative picture names in url() are found beside the file. A file
// that is missing, unreadable, empty, not UTF-8 or that Qt cannot parse changes
// nothing: the application keeps the look it had (Qt's default at start-up)
// and false comes back, with the cause in `reason`.
bool applySkin(QApplication &app, const QString &path, QString *reason = nullptr);
