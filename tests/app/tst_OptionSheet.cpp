#include "../TestSupport.h"
#include "app/OptionSheet.h"

namespace {

// One line per item, in sheet order: group/item=value, kind, read-only, choices.
QStringList dump(const OptionSheet &sheet)
{
    QStringList lines;
    for (const OptionGroup &g : sheet.groups()) {
        for (const OptionItem &i : g.items) {
            lines << QStringLiteral("%1/%2=%3 %4%5 %6")
                         .arg(g.name, i.name, i.value,
                              i.kind == OptionItemKind::Choice ? "choice" : "text",
                              i.readOnly ? " ro" : "", i.choices.join(','));
        }
    }
    return lines;
}

const QStringList built = {
    "General/Item Name=Auto text ro ",
    "Output Duration/All Clip Duration=00:00:00 text ro ",
    "Output Duration/Start Time=00:00:00 text ro ",
    "Output Duration/Stop Time=00:00:00 text ro ",
    "Video Options/Video Codec=xvid choice ",
    "Video Options/Video Size=320x240 choice 320x240,480x270,480x320,640x480",
    "Video Options/Video Bitrate=256 choice 48,64,128,192,256,512,768,1000,1500,1152,2500",
    "Video Options/Video Framerate=29.97 choice Auto,8,10,12,15,23.976,24,25,29.97,30",
    "Video Options/Aspect Ratio=Original choice Original,4:3,16:9",
    "Audio Options/Audio Codec=aac choice aac,mp3,ogg",
    "Audio Options/Audio Bitrate=128 choice 32,40,48,56,64,80,96,112,128,160,192,224,256,320",
    "Audio Options/Sample Rate=44100 choice 8000,11025,22050,24000,32000,44100,48000",
    "Audio Options/Audio Channel=2 choice 1,2",
    "Audio Options/Disable Audio=No choice No,Yes",
    "Audio Options/A/V Sync=Basic choice Basic,Default",
};

} // namespace

class TestOptionSheet : public QObject
{
    Q_OBJECT

private slots:
    // Built, looked up with wrong names, edited and rebuilt: each step on one sheet.
    void builtLookedUpAndRebuilt()
    {
        OptionSheet sheet;
        sheet.prolist();
        QCOMPARE(dump(sheet), built);
        QCOMPARE(sheet.groups().size(), size_t(4));

        QSignalSpy changes(&sheet, &OptionSheet::itemChanged);
        QSignalSpy structure(&sheet, &OptionSheet::structureChanged);
        QCOMPARE(sheet.value("Basic", "A/V Sync"), std::nullopt);
        QCOMPARE(sheet.value("Audio Options", "Video Codec"), std::nullopt); // wrong group
        QVERIFY(!sheet.setValue("Audio Options", "Volume", "10"));
        QVERIFY(!sheet.setValue("Subtitles", "Font", "Sans"));
        QVERIFY(!sheet.addChoice("Video Options", "Bitrate", "1"));
        QVERIFY(!sheet.clearChoices("video options", "Video Size")); // names are exact
        QVERIFY(!sheet.setReadOnly("General", "Nothing"));
        QVERIFY(!sheet.addItem("Nowhere", "New", "1", OptionItemKind::Text));
        QCOMPARE(changes.count() + structure.count(), 0);
        QCOMPARE(dump(sheet), built);

        // Values need not be among the choices, and read-only binds the user only.
        QVERIFY(sheet.setValue("Audio Options", "Sample Rate", "N/A") &&
                sheet.setValue("General", "Item Name", "/videos/a.avi"));
        QVERIFY(sheet.clearChoices("Video Options", "Video Bitrate") &&
                sheet.addChoice("Audio Options", "Audio Codec", "flac"));
        QVERIFY(sheet.item("Video Options", "Video Bitrate")->choices.isEmpty());
        QCOMPARE(QStringList({sheet.value("Audio Options", "Sample Rate").value_or("?"),
                              sheet.value("General", "Item Name").value_or("?"),
                              sheet.value("Video Options", "Video Bitrate").value_or("?")}),
                 QStringList({"N/A", "/videos/a.avi", "256"}));
        structure.clear();
        sheet.prolist();
        QCOMPARE(structure.count(), 1);
        QCOMPARE(dump(sheet), built);
    }
};

QTEST_GUILESS_MAIN(TestOptionSheet)
#include "tst_OptionSheet.moc"
