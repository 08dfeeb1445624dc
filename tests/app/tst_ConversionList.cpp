#include "app/ConversionList.h"
#include "app/TimeText.h"
#include "app/WatermarkText.h"

#include <QSignalSpy>
#include <QTest>

class TestConversionList : public QObject
{
    Q_OBJECT

private slots:
    void rowsAndSelection();
    void everyChangeIsSignalled();
    void timeText_data();
    void timeText();
    void watermarkText();
};

void TestConversionList::rowsAndSelection()
{
    ConversionList list;
    QCOMPARE(list.append("/v/a clip.avi"), 1);
    list.append("/v/a clip.avi"); // duplicates are separate rows
    list.append("/v/c.avi");
    for (int f = 1; f < ConversionItem::FieldCount; ++f)
        QVERIFY(list.row(1)->field(ConversionItem::Field(f)).isEmpty());
    QVERIFY(!list.row(0) && !list.row(4));
    QVERIFY(list.setField(2, ConversionList::Field::Status, "OK"));
    QVERIFY(list.select(3));

    QVERIFY(list.remove(1));
    QCOMPARE(list.row(1)->Status, QString("OK"));
    QCOMPARE(list.selected(), 2); // the selection moves up with its row
    // A row removed while its probe ran: the late write is refused.
    QVERIFY(!list.setField(3, ConversionList::Field::Size, "640x480"));
    QVERIFY(!list.remove(3));
    QVERIFY(list.remove(2));
    QCOMPARE(list.selected(), 0);
    list.clear();
    QCOMPARE(list.count(), 0);
}

void TestConversionList::everyChangeIsSignalled()
{
    ConversionList list;
    QSignalSpy appended(&list, &ConversionList::rowAppended);
    QSignalSpy changed(&list, &ConversionList::fieldChanged);
    QSignalSpy removed(&list, &ConversionList::rowRemoved);
    QSignalSpy cleared(&list, &ConversionList::cleared);
    list.append("/a");
    list.append("/b");
    QVERIFY(list.setField(2, ConversionList::Field::End, "0:00:05"));
    list.remove(1);
    list.clear();
    QCOMPARE(QList<int>({int(appended.count()), int(changed.count()), int(removed.count()),
                         int(cleared.count())}),
             QList<int>({2, 1, 1, 1}));
    QCOMPARE(changed.at(0).at(0).toInt(), 2);
}

void TestConversionList::timeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint64>("seconds"); // -1: not a time text
    QTest::newRow("zero") << "0:00:00" << qint64(0);
    QTest::newRow("84 s") << "0:01:24" << qint64(84);
    QTest::newRow("1:05:09") << "1:05:09" << qint64(3909);
    QTest::newRow("past a day") << "25:00:00" << qint64(25 * 3600);
    QTest::newRow("100 hours") << "100:00:59" << qint64(100 * 3600 + 59);
    QTest::newRow("padded hours") << "00:00:10" << qint64(10);
    QTest::newRow("empty") << "" << qint64(-1);
    QTest::newRow("two fields") << "1:30" << qint64(-1);
    QTest::newRow("minutes 60") << "0:60:00" << qint64(-1);
    QTest::newRow("letters") << "0:0a:00" << qint64(-1);
    QTest::newRow("negative") << "-1:00:00" << qint64(-1);
    QTest::newRow("fraction") << "0:00:01.5" << qint64(-1);
}

void TestConversionList::timeText()
{
    QFETCH(QString, text);
    QFETCH(qint64, seconds);
    if (seconds < 0) {
        QCOMPARE(parseTimeText(text), std::nullopt);
        return;
    }
    QCOMPARE(parseTimeText(text), std::optional<qint64>(seconds));
    if (!text.startsWith("00"))
        QCOMPARE(formatTimeText(seconds), text);
}

void TestConversionList::watermarkText()
{
    const std::tuple<QString, QString, QString> cases[] = {
        {"image;/pics/logo.png;area;Center", "/pics/logo.png", "Center"},
        {"image;/my pics/a b.png;area;Bottom right corner", "/my pics/a b.png",
         "Bottom right corner"},
        {"image;;area;Center", "", "Center"},
        {"", "", ""},
        {"image;/a.png", "/a.png", ""},
    };
    for (const auto &[text, path, placement] : cases) {
        const WatermarkText w = WatermarkText::parse(text);
        QCOMPARE(w.picturePath, path);
        QCOMPARE(w.placement, placement);
        if (text.count(';') == 3)
            QCOMPARE(w.format(), text);
    }
}

QTEST_GUILESS_MAIN(TestConversionList)
#include "tst_ConversionList.moc"
