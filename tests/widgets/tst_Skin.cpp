#include "../TestSupport.h"
#include "widgets/Skin.h"

class TestSkin : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { qApp->setStyleSheet(QString()); }

    void shippedSkinApplies()
    {
        QVERIFY(applySkin(*qApp, CLIPWRIGHT_BIN_DIR "/skins/frmmain.skn"));
        // The sheet's own lines, with its pictures found next to it.
        const QString arrow = "url(\"" CLIPWRIGHT_BIN_DIR "/skins/down-arrow.png\")";
        QVERIFY(qApp->styleSheet().contains(arrow));

        // The toolbar's hover marking must show: the frame rule has to
        // outweigh the toolbar's own button rule.
        QWidget toolBar;
        toolBar.setObjectName("toolBarPanel");
        auto *button = new QToolButton(&toolBar);
        button->setText("Options");
        (new QHBoxLayout(&toolBar))->addWidget(button);
        toolBar.resize(120, 60);
        const QImage plain = button->grab().toImage();
        button->setProperty("hoverMark", true);
        button->style()->unpolish(button);
        button->style()->polish(button);
        QVERIFY(button->grab().toImage() != plain);
    }

    void unusableFileKeepsDefault_data()
    {
        addColumns<QByteArray>("content"); // empty: no file at all
        newRow("missing", QByteArray());
        newRow("blank", QByteArray(" \n"));
        newRow("not UTF-8", QByteArray("QLabel { color: red; } /* \xff\xfe */"));
        newRow("Qt cannot parse it", QByteArray("QLabel { color: red;"));
    }
    void unusableFileKeepsDefault()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath("frmmain.skn");
        QVERIFY(content.isEmpty() || writeFile(path, content));
        QString reason;
        QVERIFY(!applySkin(*qApp, path, &reason) && !reason.isEmpty());
        QCOMPARE(qApp->styleSheet(), QString());
    }
};

QTEST_MAIN(TestSkin)
#include "tst_Skin.moc"
