#include "widgets/AboutDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

struct Credit
{
    const char *project;
    const char *role;
    const char *licence;
    const char *address;
};

const Credit Credits[] = {
    {"FFmpeg", "converts the videos", "LGPL/GPL", "https://ffmpeg.org"},
    {"MPlayer", "identifies and previews the videos", "GPL", "https://www.mplayerhq.hu"},
    {"Qt", "user interface", "LGPL v3", "https://www.qt.io"},
    {"SQLite", "profile catalogue", "public domain", "https://www.sqlite.org"},
};

} // namespace

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("About Clipwright"));

    auto *name = new QLabel(QStringLiteral("Clipwright " CLIPWRIGHT_VERSION));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    name->setFont(big);

    auto *summary = new QLabel(
        QStringLiteral("Converts batches of video files for devices, the web and editing."));

    // Plain text on purpose: the addresses can be selected and copied, and
    // nothing starts a browser from here.
    QString rows;
    for (const Credit &c : Credits)
        rows += QStringLiteral("<tr><td style='padding-right:12px'><b>%1</b></td>"
                               "<td style='padding-right:12px'>%2</td>"
                               "<td style='padding-right:12px'>%3</td><td>%4</td></tr>")
                    .arg(QLatin1String(c.project), QLatin1String(c.role), QLatin1String(c.licence),
                         QLatin1String(c.address));
    auto *credits = new QLabel(QStringLiteral("Built on these free projects, with thanks:<br>"
                                              "<table cellspacing='0' cellpadding='2'>%1</table>")
                                   .arg(rows));
    credits->setTextFormat(Qt::RichText);
    credits->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);

    auto *column = new QVBoxLayout(this);
    column->setSpacing(10);
    column->addWidget(name);
    column->addWidget(summary);
    column->addSpacing(6);
    column->addWidget(credits);
    column->addStretch(1);
    column->addWidget(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}
