#include "../TestSupport.h"
#include "app/OptionSheet.h"
#include "app/ProfileSelection.h"
#include "engine/CommandBuilder.h"
#include "engine/EncoderCheck.h"

#include <sqlite3.h>

namespace {

// Two categories of three profiles, an empty category 12 and a profile whose
// category does not exist. Profile 5 has no frame rates; 1234 has a 4-digit id.
const char *const rows =
    "insert into bigclass values (2,'Web'),(1,'General'),(12,'Empty');"
    "insert into type values (3,1,'C (*.avi)'),(1,1,'A (*.mp4)'),(2,1,'B (*.mkv)'),"
    "(5,2,'E (*.webm)'),(1234,2,'F (*.flv)'),(6,2,'G (*.ogv)'),(9,7,'Orphan (*.avi)');"
    "insert into videocodec values (5,1,'vp8'),(1,1,'x264'),(1234,1,'flv'),(6,1,'libtheora');"
    "insert into videosize values (5,3,'640x480'),(5,1,'Original'),(5,2,'320x240');"
    "insert into videobitrate values (5,1,'800'),(1,1,'1500');"
    "insert into audiocodec values (5,1,'ogg'),(1,1,'aac'),(1234,1,'mp3'),(6,1,'wma 9.2');"
    "insert into audiobitrate values (5,1,'128'),(5,2,'192');"
    "insert into samplerate values (5,1,'44100'),(1,1,'48000');";

QString makeCatalogue(const QTemporaryDir &dir)
{
    QString sql = "create table bigclass(ID integer, class text);"
                  "create table type(ID integer, classid integer, typename text);";
    for (const char *table : {"videocodec", "videobitrate", "framerate", "videosize", "audiocodec",
                              "audiobitrate", "samplerate"})
        sql += QString("create table %1(typeid integer, orders integer, %1 text);").arg(table);
    const QString path = dir.filePath("ct.s3db");
    sqlite3 *db = nullptr;
    sqlite3_open(path.toUtf8().constData(), &db);
    const int rc = sqlite3_exec(db, (sql + rows).toUtf8().constData(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return rc == SQLITE_OK ? path : QString();
}

// The seven profile options as "value [choices]", '|' apart.
QString sevenOptions(const OptionSheet &sheet)
{
    QStringList lines;
    for (const auto &[group, item] : profileOptions()) {
        const OptionItem *i = sheet.item(group, item);
        lines << i->value + " [" + i->choices.join(',') + "]";
    }
    return lines.join('|');
}

} // namespace

class TestProfileCatalogue : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    ProfileCatalogue m_catalogue;
    QVector<ProfileEntry> m_entries;

private slots:
    void initTestCase()
    {
        const QString path = makeCatalogue(m_dir);
        QVERIFY(!path.isEmpty() && m_catalogue.open(path));
        m_entries = m_catalogue.loadEntries();
    }

    void entries()
    {
        QStringList shown;
        for (const ProfileEntry &e : m_entries)
            shown << QStringLiteral("%1|%2|%3").arg(e.key, e.text).arg(e.imageIndex);
        QCOMPARE(
            shown,
            QStringList({"c001|General|1", "p001|001.  A (*.mp4)|-1", "p002|002.  B (*.mkv)|-1",
                         "p003|003.  C (*.avi)|-1", "c002|Web|2", "p005|004.  E (*.webm)|-1",
                         "p006|005.  G (*.ogv)|-1", "p1234|006.  F (*.flv)|-1", "c012|Empty|12"}));
    }

    void missingOrBrokenCatalogue()
    {
        const QString missing = m_dir.filePath("none/ct.s3db");
        ProfileCatalogue catalogue;
        QVERIFY(!catalogue.open(missing) && !QFile::exists(missing)); // nothing is created
        QVERIFY(catalogue.errorString().contains(missing) && catalogue.loadEntries().isEmpty());

        const QString junk = m_dir.filePath("junk.s3db");
        QVERIFY(writeFile(junk, QByteArray(4096, 'x')));
        ProfileCatalogue broken;
        broken.open(junk);
        QVERIFY(broken.loadEntries().isEmpty() && !broken.errorString().isEmpty());
        OptionSheet sheet;
        sheet.prolist();
        QCOMPARE(applyProfile({}, 1, broken, sheet), 1);
        QCOMPARE(sevenOptions(sheet), QStringList(7, "N/A []").join('|'));
    }

    void profileKeys()
    {
        const std::pair<const char *, qint64> keys[] = {
            {"p012", 12}, {"p1234", 1234}, {"p12345", 1234}, {"c002", 2}, {"p", 0}, {"p7x", 7}};
        for (const auto &[key, id] : keys)
            QCOMPARE(profileIdFromKey(key), id);
    }

    void selection_data()
    {
        addColumns<int, int, QString>("position", "selected", "seven");
        const QString none = QStringList(7, "N/A []").join('|');
        const QString webm = "vp8 [vp8]|800 [800]|N/A []|Original [Original,320x240,640x480]|"
                             "ogg [ogg]|128 [128,192]|44100 [44100]";
        newRow("category selects the next profile: every table but frame rate", 5, 6, webm);
        newRow("four-digit id", 8, 8, "flv [flv]|N/A []|N/A []|N/A []|mp3 [mp3]|N/A []|N/A []");
        newRow("the same pick resets the seven", 2, 2,
               "x264 [x264]|1500 [1500]|N/A []|N/A []|aac [aac]|N/A []|48000 [48000]");
        newRow("empty last category stays", 9, 9, none);
        newRow("no entry there", 42, 42, none);
        newRow("nothing selected", 0, 0, none);
    }
    void selection()
    {
        QFETCH(int, position);
        OptionSheet sheet;
        sheet.prolist();
        QCOMPARE(applyProfile(m_entries, 2, m_catalogue, sheet), 2);
        // The user's edits: one of the seven, and one other in each group that stays.
        QVERIFY(sheet.setValue("Video Options", "Video Size", "1920x1080") &&
                sheet.setValue("Video Options", "Aspect Ratio", "16:9") &&
                sheet.setValue("Audio Options", "A/V Sync", "Default"));
        QTEST(applyProfile(m_entries, position, m_catalogue, sheet), "selected");
        QTEST(sevenOptions(sheet), "seven");
        QCOMPARE(*sheet.value("Video Options", "Aspect Ratio") + "|" +
                     *sheet.value("Audio Options", "A/V Sync"),
                 QString("16:9|Default"));
    }

    void encoderCheck()
    {
        const QSet<QString> available =
            parseEncoderList("Encoders:\n V..... = Video\n ------\n"
                             " V....D libx264              libx264 H.264 (codec h264)\n"
                             " A....D aac                  AAC (Advanced Audio Coding)\n"
                             " V....D flv                  FLV / Sorenson H263\n");
        QCOMPARE(available, QSet<QString>({"libx264", "aac", "flv"}));
        QCOMPARE(missingEncoders(m_catalogue, 1, available), QStringList());
        QCOMPARE(missingEncoders(m_catalogue, 1234, available), QStringList({"libmp3lame"}));
        QCOMPARE(missingEncoders(m_catalogue, 6, available), QStringList({"libtheora", "wmav2"}));
    }
};

QTEST_GUILESS_MAIN(TestProfileCatalogue)
#include "tst_ProfileCatalogue.moc"
