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

} // namespace

class TestOptionSheet : public QObject
{
    Q_OBJECT

private slots:
    // Looked up with wrong names, edited and rebuilt: each step on one sheet.
    void lookedUpEditedAndRebuilt()
    {
        OptionSheet sheet;
        sheet.prolist();
        const QStringList built = dump(sheet);

        QSignalSpy changes(&sheet, &OptionSheet::itemChanged);
        QSignalSpy structure(&sheet, &OptionSheet::structureChanged);
        QCOMPARE(sheet.value("Audio Options", "Video Codec"), std::nullopt); // wrong group
        QVERIFY(!sheet.setValue("Audio Options", "Volume", "10"));
        QVERIFY(!sheet.setValue("Subtitles", "Font", "Sans"));
        QVERIFY(!sheet.clearChoices("video options", "Video Size")); // names are exact
        QVERIFY(!sheet.addItem("Nowhere", "New", "1", OptionItemKind::Text));
        QCOMPARE(changes.count() + structure.count(), 0);
        QCOMPARE(dump(sheet), built);

        // Values need not be among the choices, and read-only binds the user only.
        QVERIFY(sheet.setValue("Audio Options", "Sample Rate", "N/A") &&
                sheet.setValue("General", "Item Name", "/videos/a.avi"));
        QCOMPARE(*sheet.value("Audio Options", "Sample Rate") + "|" +
                     *sheet.value("General", "Item Name"),
                 QString("N/A|/videos/a.avi"));
        structure.clear();
        sheet.prolist();
        QCOMPARE(structure.count(), 1);
        QCOMPARE(dump(sheet), built);
    }
};

QTEST_GUILESS_MAIN(TestOptionSheet)
#include "tst_OptionSheet.moc"
