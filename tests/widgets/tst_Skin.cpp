#include "widgets/Skin.h"

#include <QApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

class TestSkin : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { qApp->setStyleSheet(QString()); }
    void shippedSkinApplies();
    void unusableFileKeepsDefault_data();
    void unusableFileKeepsDefault();
};

void TestSkin::shippedSkinApplies()
{
    QVERIFY(applySkin(*qApp, CLIPWRIGHT_BIN_DIR "/skins/frmmain.skn"));
    QVERIFY(qApp->styleSheet().contains("QProgressBar::chunk"));
    QVERIFY(qApp->styleSheet().contains("url(\"" CLIPWRIGHT_BIN_DIR "/skins/down-arrow.png\")"));

    // The toolbar's hover marking must show: the frame rule has to outweigh
    // the toolbar's own button rule.
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

void TestSkin::unusableFileKeepsDefault_data()
{
    QTest::addColumn<QByteArray>("content"); // empty: no file at all
    QTest::newRow("missing") << QByteArray();
    QTest::newRow("blank") << QByteArray(" \n");
    QTest::newRow("not UTF-8") << QByteArray("QLabel { color: red; } /* \xff\xfe */");
    QTest::newRow("unclosed block") << QByteArray("QLabel { color: red;");
    QTest::newRow("stray brace") << QByteArray("QLabel { color: red; } }");
    QTest::newRow("no selector") << QByteArray("{ color: red; } QLabel {");
}

void TestSkin::unusableFileKeepsDefault()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath("frmmain.skn");
    if (!content.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    QString reason;
    QVERIFY(!applySkin(*qApp, path, &reason));
    QVERIFY(!reason.isEmpty());
    QCOMPARE(qApp->styleSheet(), QString());
}

QTEST_MAIN(TestSkin)
#include "tst_Skin.moc"
