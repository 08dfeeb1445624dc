#include "../TestSupport.h"
#include "app/ConversionList.h"
#include "app/FileName.h"
#include "app/WatermarkText.h"
#include "process/TimeText.h"

class TestConversionList : public QObject
{
    Q_OBJECT

private slots:
    void rowsAndSelection()
    {
        ConversionList list;
        QSignalSpy appended(&list, &ConversionList::rowAppended);
        QSignalSpy changed(&list, &ConversionList::fieldChanged);
        QSignalSpy removed(&list, &ConversionList::rowRemoved);
        QSignalSpy cleared(&list, &ConversionList::cleared);
        QCOMPARE(list.append("/v/a clip.avi"), 1);
        list.append("/v/a clip.avi"); // duplicates are separate rows
        list.append("/v/c.avi");
        QVERIFY(!list.row(0) && !list.row(4));
        QVERIFY(list.setField(2, ConversionList::Field::Status, "OK") && list.select(3));
        QVERIFY(list.remove(1));
        QCOMPARE(list.row(1)->Status, QString("OK"));
        QCOMPARE(list.selected(), 2); // the selection moves up with its row
        // A row removed while its probe ran: the late write is refused.
        QVERIFY(!list.setField(3, ConversionList::Field::Size, "640x480") && !list.remove(3));
        QVERIFY(list.remove(2));
        QCOMPARE(list.selected(), 0);
        list.clear();
        QCOMPARE(list.count(), 0);
        // Every change is signalled, and a refused one is not.
        QCOMPARE(QList<int>({int(appended.count()), int(changed.count()), int(removed.count()),
                             int(cleared.count()), changed.at(0).at(0).toInt()}),
                 QList<int>({3, 1, 2, 1, 2}));
    }

    void timeText_data()
    {
        addColumns<QString, qint64>("text", "seconds"); // -1: not a time text
        const std::pair<const char *, qint64> times[] = {{"0:00:00", 0},        {"0:01:24", 84},
                                                         {"1:05:09", 3909},     {"25:00:00", 90000},
                                                         {"100:00:59", 360059}, {"00:00:10", 10}};
        for (const auto &[text, seconds] : times)
            QTest::newRow(text) << QString(text) << seconds;
        for (const char *text : {"", "1:30", "0:60:00", "0:0a:00", "-1:00:00", "0:00:01.5"})
            QTest::addRow("'%s'", text) << QString(text) << qint64(-1);
    }
    void timeText()
    {
        QFETCH(QString, text);
        QFETCH(qint64, seconds);
        QCOMPARE(parseTimeText(text), seconds < 0 ? std::nullopt : std::optional<qint64>(seconds));
        if (seconds >= 0 && !text.startsWith("00")) // padded hours are read, not written
            QCOMPARE(formatTimeText(seconds), text);
    }

    void fileNames_data()
    {
        addColumns<QByteArray, QString>("bytes", "problem"); // problem "": accepted
        const QString bad = "The file name is not valid UTF-8: ";
        newRow("UTF-8", QByteArray("/v/café 東京.avi"), QString());
        newRow("Latin-1 byte", QByteArray("/v/caf\xe9.avi"), bad + "/v/caf\\xe9.avi");
        newRow("cut sequence", QByteArray("\xe6\x9d/\xe6\x9d\xb1"), bad + "\\xe6\\x9d/東");
        newRow("overlong slash", QByteArray("a\xc0\xaf") + "b", bad + "a\\xc0\\xafb");
    }
    void fileNames()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, problem);
        QString said;
        const std::optional<QString> name = fileNameFromBytes(bytes, &said);
        QCOMPARE(said, problem);
        QCOMPARE(name.has_value(), problem.isEmpty());
        if (name)
            QCOMPARE(name->toUtf8(), bytes);
    }

    void watermarkText()
    {
        const std::tuple<QString, QString, QString> cases[] = {
            {"image;/my pics/a b.png;area;Bottom right corner", "/my pics/a b.png",
             "Bottom right corner"},
            {"", "", ""},
            {"image;/a.png", "/a.png", ""}};
        for (const auto &[text, path, placement] : cases) {
            const WatermarkText w = WatermarkText::parse(text);
            QCOMPARE(w.picturePath + "|" + w.placement, path + "|" + placement);
            if (text.count(';') == 3)
                QCOMPARE(w.format(), text);
        }
    }
};

QTEST_GUILESS_MAIN(TestConversionList)
#include "tst_ConversionList.moc"
