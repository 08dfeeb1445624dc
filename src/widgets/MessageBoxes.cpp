#include "widgets/MessageBoxes.h"

#include <QMessageBox>

void showMessage(QWidget *parent, const QString &text, MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical
                                                  : QMessageBox::Information,
                    QStringLiteral("Clipwright"), text, QMessageBox::Ok, parent);
    box.exec();
}
