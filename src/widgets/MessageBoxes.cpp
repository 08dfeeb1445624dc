#include "widgets/MessageBoxes.h"

#include <QMessageBox>

void showMessage(QWidget *parent, const QString &text, MessageIcon icon)
{
    QMessageBox box(icon == MessageIcon::Critical ? QMessageBox::Critical
                                                  : QMessageBox::Information,
                    QStringLiteral("Clipwright"), text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

QString plainToolTip(const QString &text)
{
    // Escaped text alone is not always taken for markup ("a &amp; b" would
    // show its entity), so it is wrapped in a paragraph that keeps lines.
    return text.isEmpty() ? QString()
                          : QStringLiteral("<p style=\"white-space:pre\">") + text.toHtmlEscaped() +
                                QStringLiteral("</p>");
}
