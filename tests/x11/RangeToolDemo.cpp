// A window with the range control in each border style and look, for
// tests/x11/rangetool-screenshot to photograph. Not part of the program.
#include "widgets/RangeTool.h"
#include "widgets/Skin.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    applySkin(app, CLIPWRIGHT_BIN_DIR "/skins/frmmain.skn");
    QDialog window;
    window.setWindowTitle("RangeTool looks");
    struct Row
    {
        const char *caption;
        int borderStyle;
        QVariantMap properties;
    };
    const Row rows[] = {
        {"0 none", 0, {}},
        {"1 raised", 1, {}},
        {"2 sunken", 2, {}},
        {"3 bump", 3, {}},
        {"4 etched (lower pressed)", 4, {}},
        {"locked thumbs", 4, {{"LowerLocked", true}, {"UpperLocked", true}}},
        {"disabled", 1, {}},
        {"equal values", 4, {{"LowerValue", 40}, {"UpperValue", 40}}},
        {"editor: highlight, no border", 0, {{"Color", 0x8000000D}, {"BorderStyle", 0}}},
    };
    int y = 10;
    for (const Row &row : rows) {
        auto *label = new QLabel(row.caption, &window);
        label->setGeometry(10, y + 12, 190, 20);
        auto *tool = new RangeTool(&window);
        tool->loadProperties(row.properties);
        tool->setBorderStyle(row.borderStyle);
        tool->setGeometry(210, y, QByteArray(row.caption).startsWith("editor") ? 495 : 360, 45);
        tool->setEnabled(QByteArray(row.caption) != "disabled");
        y += 55;
    }
    window.setGeometry(0, 0, 720, y);
    window.show();
    return app.exec();
}
