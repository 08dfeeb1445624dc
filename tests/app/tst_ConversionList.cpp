#include "app/ConversionList.h"
#include "app/TimeText.h"
#include "app/WatermarkText.h"

#include <QSignalSpy>
#include <QTest>

class TestConversionList : public QObject
{
    Q_OBJECT

private slots:
    void newRowHoldsOnlyThePath();
    void duplicatesAndRemoval();
    void selectionFollowsRemoval();
    void everyChangeIsSignalled();
    void timeText_data();
    void timeText();
    void badTimeText_data();
    void badTimeText();
    void watermarkText_data();
    void watermarkText();
};

void TestConversionList::newRowHoldsOnlyThePath()
{
    ConversionList list;
    QCOMPARE(list.append("/videos/a clip.avi"), 1);
    const ConversionItem *row = list.row(1);
    QVERIFY(row);
    QCOMPARE(row->FileName, QString("/videos/a clip.avi"));
    for (int f = 1; f < ConversionItem::FieldCount; ++f)
        QVERIFY(row->field(ConversionItem::Field(f)).isEmpty());
    QVERIFY(!list.row(0));
    QVERIFY(!list.row(2));
    QCOMPARE(ConversionItem::header(ConversionItem::Field::VideoTime), QString("Video Time"));
}

void TestConversionList::duplicatesAndRemoval()
{
    ConversionList list;
    list.append("/v/a.avi");
    list.append("/v/a.avi");
    QVERIFY(list.setField(2, ConversionList::Field::Status, "OK"));
    QCOMPARE(list.count(), 2);
    QVERIFY(list.remove(1));
    QCOMPARE(list.count(), 1);
    QCOMPARE(list.row(1)->Status, QString("OK"));
    // A row removed while its probe ran: the late write is refused, nothing else changes.
    QVERIFY(!list.setField(2, ConversionList::Field::Size, "640x480"));
    QVERIFY(!list.remove(2));
    list.clear();
    QCOMPARE(list.count(), 0);
}

void TestConversionList::selectionFollowsRemoval()
{
    ConversionList list;
    for (const char *name : {"/a", "/b", "/c"})
        list.append(name);
    QCOMPARE(list.selected(), 0);
    QVERIFY(list.select(3));
    QVERIFY(list.remove(1));
    QCOMPARE(list.selected(), 2);
    QCOMPARE(list.row(list.selected())->FileName, QString("/c"));
    QVERIFY(list.remove(2));
    QCOMPARE(list.selected(), 0);
    QVERIFY(!list.select(5));
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
    QCOMPARE(appended.count(), 2);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).toInt(), 2);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(cleared.count(), 1);
}

void TestConversionList::timeText_data()
{
    QTest::addColumn<qint64>("seconds");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << "0:00:00";
    QTest::newRow("84 s") << qint64(84) << "0:01:24";
    QTest::newRow("1:05:09") << qint64(3909) << "1:05:09";
    QTest::newRow("one day and more") << qint64(25 * 3600) << "25:00:00";
    QTest::newRow("100 hours") << qint64(100 * 3600 + 59) << "100:00:59";
}

void TestConversionList::timeText()
{
    QFETCH(qint64, seconds);
    QFETCH(QString, text);
    QCOMPARE(formatTimeText(seconds), text);
    QCOMPARE(parseTimeText(text), std::optional<qint64>(seconds));
}

void TestConversionList::badTimeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << "";
    QTest::newRow("two fields") << "1:30";
    QTest::newRow("minutes 60") << "0:60:00";
    QTest::newRow("letters") << "0:0a:00";
    QTest::newRow("negative") << "-1:00:00";
    QTest::newRow("fraction") << "0:00:01.5";
}

void TestConversionList::badTimeText()
{
    QFETCH(QString, text);
    QCOMPARE(parseTimeText(text), std::nullopt);
}

void TestConversionList::watermarkText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("placement");
    QTest::newRow("center") << "image;/pics/logo.png;area;Center" << "/pics/logo.png"
                            << "Center";
    QTest::newRow("blanks kept") << "image;/my pics/a b.png;area;Bottom right corner"
                                 << "/my pics/a b.png" << "Bottom right corner";
    QTest::newRow("empty path") << "image;;area;Center" << "" << "Center";
    QTest::newRow("none") << "" << "" << "";
    QTest::newRow("short") << "image;/a.png" << "/a.png" << "";
}

void TestConversionList::watermarkText()
{
    QFETCH(QString, text);
    QFETCH(QString, path);
    QFETCH(QString, placement);
    const WatermarkText w = WatermarkText::parse(text);
    QCOMPARE(w.picturePath, path);
    QCOMPARE(w.placement, placement);
    if (text.count(';') == 3)
        QCOMPARE(w.format(), text);
}

QTEST_GUILESS_MAIN(TestConversionList)
#include "tst_ConversionList.moc"
