#include "app/OptionSheet.h"

#include <QSignalSpy>
#include <QTest>

class TestOptionSheet : public QObject
{
    Q_OBJECT

private slots:
    void builtState_data();
    void builtState();
    void builtOrder();
    void prolistTwiceLeavesOneCopy();
    void failingLookupsCreateNothing();
    void setValueIgnoresChoicesAndReadOnly();
    void clearChoicesKeepsValue();
};

void TestOptionSheet::builtState_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("choice");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QStringList>("choices");

    const auto row = [](const char *group, const char *item, const char *value, bool choice,
                        bool readOnly, QStringList choices) {
        QTest::addRow("%s/%s", group, item) << group << item << value << choice << readOnly
                                            << choices;
    };
    row("General", "Item Name", "Auto", false, true, {});
    row("Output Duration", "All Clip Duration", "00:00:00", false, true, {});
    row("Output Duration", "Start Time", "00:00:00", false, true, {});
    row("Output Duration", "Stop Time", "00:00:00", false, true, {});
    row("Video Options", "Video Codec", "xvid", true, false, {});
    row("Video Options", "Video Size", "320x240", true, false,
        {"320x240", "480x270", "480x320", "640x480"});
    row("Video Options", "Video Bitrate", "256", true, false,
        {"48", "64", "128", "192", "256", "512", "768", "1000", "1500", "1152", "2500"});
    row("Video Options", "Video Framerate", "29.97", true, false,
        {"Auto", "8", "10", "12", "15", "23.976", "24", "25", "29.97", "30"});
    row("Video Options", "Aspect Ratio", "4:3", true, false, {"4:3", "16:9"});
    row("Audio Options", "Audio Codec", "aac", true, false, {"aac", "mp3", "ogg"});
    row("Audio Options", "Audio Bitrate", "128", true, false,
        {"32", "40", "48", "56", "64", "80", "96", "112", "128", "160", "192", "224", "256",
         "320"});
    row("Audio Options", "Sample Rate", "44100", true, false,
        {"8000", "11025", "22050", "24000", "32000", "44100", "48000"});
    row("Audio Options", "Audio Channel", "2", true, false, {"1", "2"});
    row("Audio Options", "Disable Audio", "No", true, false, {"No", "Yes"});
    row("Audio Options", "A/V Sync", "Basic", true, false, {"Basic", "Default"});
}

void TestOptionSheet::builtState()
{
    QFETCH(QString, group);
    QFETCH(QString, item);
    QFETCH(QString, value);
    QFETCH(bool, choice);
    QFETCH(bool, readOnly);
    QFETCH(QStringList, choices);

    OptionSheet sheet;
    sheet.prolist();
    const OptionItem *i = sheet.item(group, item);
    QVERIFY(i);
    QCOMPARE(sheet.value(group, item), std::optional<QString>(value));
    QCOMPARE(i->kind, choice ? OptionItemKind::Choice : OptionItemKind::Text);
    QCOMPARE(i->readOnly, readOnly);
    QCOMPARE(i->choices, choices);
    QVERIFY(i->description.isEmpty());
}

void TestOptionSheet::builtOrder()
{
    OptionSheet sheet;
    sheet.prolist();
    QStringList order;
    for (const OptionGroup &g : sheet.groups()) {
        order << g.name;
        for (const OptionItem &i : g.items)
            order << "  " + i.name;
    }
    QCOMPARE(order, QStringList({"General", "  Item Name", "Output Duration",
                                 "  All Clip Duration", "  Start Time", "  Stop Time",
                                 "Video Options", "  Video Codec", "  Video Size",
                                 "  Video Bitrate", "  Video Framerate", "  Aspect Ratio",
                                 "Audio Options", "  Audio Codec", "  Audio Bitrate",
                                 "  Sample Rate", "  Audio Channel", "  Disable Audio",
                                 "  A/V Sync"}));
}

void TestOptionSheet::prolistTwiceLeavesOneCopy()
{
    OptionSheet sheet;
    sheet.prolist();
    QVERIFY(sheet.setValue("Video Options", "Video Size", "640x480"));
    QVERIFY(sheet.addChoice("Audio Options", "Audio Codec", "flac"));
    QSignalSpy rebuilt(&sheet, &OptionSheet::structureChanged);
    sheet.prolist();
    QCOMPARE(rebuilt.count(), 1);

    QCOMPARE(sheet.groups().size(), size_t(4));
    int items = 0;
    for (const OptionGroup &g : sheet.groups())
        items += int(g.items.size());
    QCOMPARE(items, 15);
    QCOMPARE(sheet.value("Video Options", "Video Size"), std::optional<QString>("320x240"));
    QCOMPARE(sheet.item("Audio Options", "Audio Codec")->choices,
             QStringList({"aac", "mp3", "ogg"}));
}

void TestOptionSheet::failingLookupsCreateNothing()
{
    OptionSheet sheet;
    sheet.prolist();
    QSignalSpy changes(&sheet, &OptionSheet::itemChanged);

    QCOMPARE(sheet.value("Basic", "A/V Sync"), std::nullopt);
    QCOMPARE(sheet.value("Audio Options", "A/V Sync"), std::optional<QString>("Basic"));
    QCOMPARE(sheet.value("Audio Options", "Video Codec"), std::nullopt); // wrong group
    QVERIFY(!sheet.setValue("Audio Options", "Volume", "10"));
    QVERIFY(!sheet.setValue("Subtitles", "Font", "Sans"));
    QVERIFY(!sheet.addChoice("Video Options", "Bitrate", "1"));
    QVERIFY(!sheet.clearChoices("video options", "Video Size")); // names are exact
    QVERIFY(!sheet.setReadOnly("General", "Nothing"));
    QVERIFY(!sheet.addItem("Nowhere", "New", "1", OptionItemKind::Text));

    QCOMPARE(changes.count(), 0);
    QCOMPARE(sheet.groups().size(), size_t(4));
    QVERIFY(!sheet.item("Audio Options", "Volume"));
    QVERIFY(!sheet.item("Subtitles", "Font"));
}

void TestOptionSheet::setValueIgnoresChoicesAndReadOnly()
{
    OptionSheet sheet;
    sheet.prolist();
    QSignalSpy changes(&sheet, &OptionSheet::itemChanged);
    QVERIFY(sheet.setValue("Audio Options", "Sample Rate", "N/A"));
    QVERIFY(sheet.setValue("General", "Item Name", "/videos/a.avi"));
    QCOMPARE(sheet.value("Audio Options", "Sample Rate"), std::optional<QString>("N/A"));
    QCOMPARE(sheet.value("General", "Item Name"), std::optional<QString>("/videos/a.avi"));
    QCOMPARE(changes.count(), 2);
}

void TestOptionSheet::clearChoicesKeepsValue()
{
    OptionSheet sheet;
    sheet.prolist();
    QVERIFY(sheet.clearChoices("Video Options", "Video Bitrate"));
    QVERIFY(sheet.item("Video Options", "Video Bitrate")->choices.isEmpty());
    QCOMPARE(sheet.value("Video Options", "Video Bitrate"), std::optional<QString>("256"));
}

QTEST_GUILESS_MAIN(TestOptionSheet)
#include "tst_OptionSheet.moc"
