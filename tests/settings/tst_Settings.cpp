#include "settings/IniFile.h"
#include "settings/NumberValue.h"
#include "settings/ProgramFolders.h"
#include "settings/Settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

void writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(data);
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void reads_data();
    void reads();
    void missingFileGivesDefaults();
    void storedValues();
    void writeKeepsTheRest();
    void writeCreatesWhatIsMissing();
    void lineBreakCannotMakeANewKey();
    void longValues();
    void failedWriteKeepsTheOldFile();
    void threadCount_data();
    void threadCount();
    void numberValue_data();
    void numberValue();
    void programResolution();
    void writableFolderFallsBack();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;
};

void TestSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_file = m_dir->filePath("settings.dat");
}

void TestSettings::reads_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::newRow("plain") << QByteArray("[set]\nthread=2\n") << "set" << "thread" << "2";
    QTest::newRow("blanks around value")
        << QByteArray("[set]\noutputfolder=   /home/me/Out   \n") << "set" << "outputfolder"
        << "/home/me/Out";
    QTest::newRow("[Set] read as set") << QByteArray("[Set]\nprofile=12\n") << "set"
                                       << "profile" << "12";
    QTest::newRow("key case") << QByteArray("[set]\nThread = 3\n") << "set" << "THREAD" << "3";
    QTest::newRow("CRLF") << QByteArray("[set]\r\nthread=4\r\nautoshut=1\r\n") << "set"
                          << "autoshut" << "1";
    QTest::newRow("other section only") << QByteArray("[other]\nthread=2\n") << "set"
                                        << "thread" << "";
    QTest::newRow("next section stops") << QByteArray("[set]\na=1\n[x]\nthread=2\n") << "set"
                                        << "thread" << "";
    QTest::newRow("comment") << QByteArray("[set]\n;thread=9\nthread=1\n") << "set" << "thread"
                             << "1";
    QTest::newRow("UTF-8") << QByteArray("[set]\noutputfolder=/home/zoë/Vidéos\n") << "set"
                           << "outputfolder" << QString::fromUtf8("/home/zoë/Vidéos");
    QTest::newRow("value holds =") << QByteArray("[set]\noutputfolder=/a=b\n") << "set"
                                   << "outputfolder" << "/a=b";
}

void TestSettings::reads()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    writeFile(m_file, content);
    QCOMPARE(ReadIniValue(m_file, section, key), value);
}

void TestSettings::missingFileGivesDefaults()
{
    const Settings settings(m_file, "/prog");
    QCOMPARE(settings.outputFolder(), QString("/prog"));
    QCOMPARE(settings.existedFile(), ExistingFilePolicy::AddNew);
    QCOMPARE(settings.thread(), 0);
    QCOMPARE(settings.autoShut(), false);
    QCOMPARE(settings.profile(), std::nullopt);
    QVERIFY(!QFile::exists(m_file)); // reading creates nothing
}

void TestSettings::storedValues()
{
    writeFile(m_file, "[set]\noutputfolder=0\nexistedfile=1\nthread=2\nautoshut=1\nprofile=12\n");
    const Settings settings(m_file, "/prog");
    QCOMPARE(settings.outputFolder(), QString("/prog")); // "0" means the default
    QCOMPARE(settings.existedFile(), ExistingFilePolicy::Overwrite);
    QCOMPARE(settings.thread(), 2);
    QCOMPARE(settings.autoShut(), true);
    QCOMPARE(settings.profile(), std::optional<int>(12));
}

void TestSettings::writeKeepsTheRest()
{
    const QByteArray before = "; written by hand\n"
                              "[other]\n"
                              "thread=7\n"
                              "\n"
                              "[set]\n"
                              "outputfolder=/out\n"
                              "thread=2\n"
                              "\n"
                              "[last]\n"
                              "x=1\n";
    writeFile(m_file, before);
    QVERIFY(WriteIniValue(m_file, "SET", "Thread", "4"));
    QVERIFY(WriteIniValue(m_file, "set", "autoshut", "0"));
    QCOMPARE(readFile(m_file), QByteArray("; written by hand\n"
                                          "[other]\n"
                                          "thread=7\n"
                                          "\n"
                                          "[set]\n"
                                          "outputfolder=/out\n"
                                          "thread=4\n"
                                          "autoshut=0\n"
                                          "\n"
                                          "[last]\n"
                                          "x=1\n"));
    QCOMPARE(ReadIniValue(m_file, "other", "thread"), QString("7"));
}

void TestSettings::writeCreatesWhatIsMissing()
{
    const Settings settings(m_file, "/prog");
    QVERIFY(settings.setOutputFolder("  /home/me/Videos  "));
    QVERIFY(settings.setExistedFile(ExistingFilePolicy::AddNew));
    QVERIFY(settings.setAutoShut(false));
    QVERIFY(settings.setThread(2));
    QVERIFY(settings.setProfile(12));
    QCOMPARE(readFile(m_file), QByteArray("[set]\n"
                                          "outputfolder=/home/me/Videos\n"
                                          "existedfile=0\n"
                                          "autoshut=0\n"
                                          "thread=2\n"
                                          "profile=12\n"));
    QVERIFY(WriteIniValue(m_file, "new", "k", "v"));
    QCOMPARE(ReadIniValue(m_file, "new", "k"), QString("v"));
    QCOMPARE(settings.profile(), std::optional<int>(12));
}

void TestSettings::lineBreakCannotMakeANewKey()
{
    QVERIFY(WriteIniValue(m_file, "set", "outputfolder", "/out\nautoshut=1\r\nthread=8"));
    QCOMPARE(ReadIniValue(m_file, "set", "autoshut"), QString());
    QCOMPARE(ReadIniValue(m_file, "set", "thread"), QString());
    QCOMPARE(ReadIniValue(m_file, "set", "outputfolder"), QString("/out autoshut=1 thread=8"));
}

void TestSettings::longValues()
{
    const QString folder = "/" + QString(149, 'f');
    writeFile(m_file, "[set]\noutputfolder=" + folder.toUtf8() + "\n");
    QCOMPARE(ReadIniValue(m_file, "set", "outputfolder"), folder.left(127));
    QVERIFY(WriteIniValue(m_file, "set", "outputfolder", folder));
    QVERIFY(readFile(m_file).contains("outputfolder=" + folder.left(128).toUtf8() + "\n"));
}

void TestSettings::failedWriteKeepsTheOldFile()
{
    const QString missingFolder = m_dir->filePath("no/such/folder/settings.dat");
    QVERIFY(!WriteIniValue(missingFolder, "set", "thread", "2"));
    writeFile(m_file, "[set]\nthread=2\n");
    // A folder in place of the file cannot be replaced; the write reports it.
    QVERIFY(QDir(m_dir->path()).mkdir("dir.dat"));
    QVERIFY(!WriteIniValue(m_dir->filePath("dir.dat"), "set", "thread", "3"));
    QCOMPARE(readFile(m_file), QByteArray("[set]\nthread=2\n"));
}

void TestSettings::threadCount_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("threads");
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("4") << "4" << 4;
    QTest::newRow("negative") << "-2" << 0;
    QTest::newRow("not a number") << "abc" << 0;
    QTest::newRow("4 cores") << "4 cores" << 4;
    QTest::newRow("fraction") << "2.7" << 2;
}

void TestSettings::threadCount()
{
    QFETCH(QString, text);
    QFETCH(int, threads);
    QCOMPARE(::threadCount(text), threads);
}

void TestSettings::numberValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("timesThousand");
    QTest::newRow("128") << "128" << 128.0 << "128000";
    QTest::newRow("1500k") << "1500k" << 1500.0 << "1500000";
    QTest::newRow("abc") << "abc" << 0.0 << "0";
    QTest::newRow("blank first") << "  64" << 64.0 << "64000";
    QTest::newRow("fraction") << "0.0325" << 0.0325 << "32.5";
    QTest::newRow("point only") << "." << 0.0 << "0";
}

void TestSettings::numberValue()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QFETCH(QString, timesThousand);
    QCOMPARE(::numberValue(text), value);
    QCOMPARE(plainNumber(::numberValue(text) * 1000), timesThousand);
}

void TestSettings::programResolution()
{
    const QString folder = m_dir->path();
    // Not beside the program: the one on PATH.
    const QString onPath = resolveProgram("sh", folder);
    QVERIFY(onPath.endsWith("/sh"));
    // A file that is not executable does not count.
    writeFile(folder + "/sh", "#!/bin/sh\n");
    QCOMPARE(resolveProgram("sh", folder), onPath);
    QVERIFY(QFile::setPermissions(folder + "/sh", QFile::ReadOwner | QFile::ExeOwner));
    QCOMPARE(resolveProgram("sh", folder), folder + "/sh");
    QCOMPARE(resolveProgram("clipwright-no-such-program", folder), QString());
}

void TestSettings::writableFolderFallsBack()
{
    const QString user = m_dir->filePath("user/data");
    QCOMPARE(chooseWritableFolder(m_dir->path(), user), m_dir->path());
    QCOMPARE(chooseWritableFolder(m_dir->filePath("missing"), user), user);
    QVERIFY(QFileInfo(user).isDir());
    QCOMPARE(settingsFilePath(), QDir(writableFolder()).filePath("settings.dat"));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_Settings.moc"
