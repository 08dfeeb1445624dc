#include "../TestSupport.h"
#include "settings/IniFile.h"
#include "settings/NumberValue.h"
#include "settings/ProgramFolders.h"
#include "settings/Settings.h"

#include <csignal>
#include <sys/resource.h>

class TestSettings : public QObject
{
    Q_OBJECT

    std::optional<QTemporaryDir> m_dir;
    QString m_file;

private slots:
    void init()
    {
        QVERIFY(m_dir.emplace().isValid());
        m_file = m_dir->filePath("settings.dat");
    }

    void reads_data()
    {
        addColumns<QByteArray, QString, QString>("content", "key", "value");
        const auto row = [](const char *tag, const QByteArray &content, const char *key,
                            const QString &value) { newRow(tag, content, QString(key), value); };
        row("names in any case, blanks", "[ Set ]\nThread =  3 \n", "THREAD", "3");
        row("CRLF, UTF-8", "[set]\r\nthread=4\r\noutputfolder=/home/zoë/Vidéos\r\n", "outputfolder",
            QString::fromUtf8("/home/zoë/Vidéos"));
        row("other sections", "[other]\nthread=2\n[set]\na=1\n[x]\nthread=2\n", "thread", "");
        row("comment", "[set]\n;thread=9\nthread=1\n", "thread", "1");
        row("quoted, holds =", "[set]\noutputfolder= \"/data/my=out\" \n", "outputfolder",
            "/data/my=out");
        row("one quote kept", "[set]\noutputfolder=\"/data\n", "outputfolder", "\"/data");
        row("byte order marks", "\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBF [\f set ]\nthread=2\n",
            "thread", "2");
        row("150 characters read as 127", "[set]\noutputfolder=/" + QByteArray(149, 'f') + "\n",
            "outputfolder", "/" + QString(126, 'f'));
    }

    void reads()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, key);
        writeFile(m_file, content);
        QTEST(ReadIniValue(m_file, "set", key), "value");
    }

    void typedValues()
    {
        const Settings settings(m_file, "/prog");
        const auto state = [&] {
            return QStringLiteral("%1 %2 %3 %4 %5 %6")
                .arg(settings.outputFolder())
                .arg(settings.existedFile() == ExistingFilePolicy::Overwrite ? "overwrite" : "new")
                .arg(settings.thread())
                .arg(settings.autoShut())
                .arg(settings.profile().value_or(-1))
                .arg(settings.jobs());
        };
        QCOMPARE(state(), QString("/prog new 0 0 -1 0")); // no file
        QVERIFY(!QFile::exists(m_file));                  // and reading made none
        writeFile(m_file, "[set]\noutputfolder=0\nexistedfile=1\nthread=2\nautoshut=1\nprofile=12\n"
                          "jobs= 8 \n");
        QCOMPARE(state(), QString("/prog overwrite 2 1 12 8")); // "0" means the default folder
        writeFile(m_file,
                  "[set]\noutputfolder=/o\nexistedfile=2\nthread=-4\nautoshut=yes\njobs=9\n");
        QCOMPARE(state(), QString("/o new 0 0 -1 0"));
        writeFile(m_file, "[set]\noutputfolder=Videos/../Clips\nprofile=99999999999\njobs=-2\n");
        QCOMPARE(state(), QString("/prog/Clips new 0 0 1000000 0")); // relative: where FFmpeg runs
        writeFile(m_file, "[set]\nthread=99999999999999999999\nprofile=7 abc\njobs=2x\n");
        QCOMPARE(state(), QString("/prog new 1024 0 7 0")); // clamped; a bad count is automatic
    }

    void writeKeepsTheRest_data()
    {
        // The file before (none: null), the writes "section|key|value" in order,
        // and the file after.
        addColumns<QByteArray, QStringList, QByteArray>("before", "writes", "after");
        newRow("by hand, key case",
               QByteArray("; by hand\n[other]\nthread=7\n\n[set]\noutputfolder=/out\nthread=2\n\n"
                          "[last]\nx=1\n"),
               QStringList{"SET|Thread|4", "set|autoshut|0"},
               QByteArray("; by hand\n[other]\nthread=7\n\n[set]\noutputfolder=/out\nthread=4\n"
                          "autoshut=0\n\n[last]\nx=1\n"));
        // Line breaks in a value become blanks; a value is cut at 128 characters.
        newRow("no file, a new section", QByteArray(),
               QStringList{"set|outputfolder|/out\nautoshut=1\r\nthread=8",
                           "new|k|/" + QString(149, 'f')},
               "[set]\noutputfolder=/out autoshut=1 thread=8\n[new]\nk=/" + QByteArray(127, 'f') +
                   "\n");
        // A header behind byte order marks is found by the write as by the read.
        newRow("byte order marks", QByteArray("\xEF\xBB\xBF\xEF\xBB\xBF\xEF\xBB\xBF [\f set ]\n"),
               QStringList{"set|thread|2"}, QByteArray(" [\f set ]\nthread=2\n"));
    }

    void writeKeepsTheRest()
    {
        QFETCH(QByteArray, before);
        QFETCH(QStringList, writes);
        QVERIFY(before.isNull() || writeFile(m_file, before));
        for (const QString &write : writes) {
            const QStringList parts = write.split('|');
            QVERIFY(WriteIniValue(m_file, parts[0], parts[1], parts[2]));
        }
        QTEST(readFile(m_file), "after");
    }

    void writeCreatesWhatIsMissing()
    {
        const Settings settings(m_file, "/prog");
        QVERIFY(settings.setOutputFolder("  /home/me/Videos  ") &&
                settings.setExistedFile(ExistingFilePolicy::AddNew) && settings.setAutoShut(false));
        QVERIFY(settings.setThread(2) && settings.setProfile(12)); // "Set" is the same section
        QCOMPARE(readFile(m_file), QByteArray("[set]\noutputfolder=/home/me/Videos\nexistedfile=0\n"
                                              "autoshut=0\nthread=2\nprofile=12\n"));
    }

    void failedWriteKeepsTheOldFile()
    {
        QVERIFY(!WriteIniValue(m_dir->filePath("no/such/settings.dat"), "set", "thread", "2"));
        QVERIFY(QDir(m_dir->path()).mkdir("dir.dat")); // a folder cannot be replaced
        QVERIFY(!WriteIniValue(m_dir->filePath("dir.dat"), "set", "thread", "3"));
        QVERIFY(QFileInfo(m_dir->filePath("dir.dat")).isDir());

        // A write cut short part-way (a full disk, a file-size limit) must not
        // touch the old file: the new one is written aside and renamed.
        const Settings settings(m_file, "/prog");
        QVERIFY(settings.setThread(2));
        const QByteArray old = readFile(m_file);
        rlimit limit{};
        QVERIFY(::getrlimit(RLIMIT_FSIZE, &limit) == 0);
        const rlimit small{64, limit.rlim_max};
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        QVERIFY(::setrlimit(RLIMIT_FSIZE, &small) == 0);
        const bool saved = settings.setOutputFolder("/" + QString(120, 'f'));
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!saved);
        QCOMPARE(readFile(m_file), old);
        QCOMPARE(settings.thread(), 2);
    }

    void numbers()
    {
        // text, number value, that value times 1000 as plain text, thread count
        const std::tuple<QString, double, QString, int> cases[] = {
            {"1500k", 1500, "1500000", 1024}, {"  64", 64, "64000", 64},
            {"0.0325", 0.0325, "32.5", 0},    {"", 0, "0", 0},
            {"-2", -2, "-2000", 0},           {"2.7", 2.7, "2700", 2},
        };
        for (const auto &[text, value, thousand, threads] : cases) {
            QCOMPARE(numberValue(text), value);
            QCOMPARE(plainNumber(numberValue(text) * 1000), thousand);
            QCOMPARE(threadCount(text), threads);
        }
    }

    void programsAndFolders()
    {
        const QString folder = m_dir->path();
        const QString onPath = resolveProgram("sh", folder);
        QVERIFY(onPath.endsWith("/sh"));
        writeFile(folder + "/sh", "#!/bin/sh\n"); // not executable: does not count
        QCOMPARE(resolveProgram("sh", folder), onPath);
        QVERIFY(QFile::setPermissions(folder + "/sh", QFile::ReadOwner | QFile::ExeOwner));
        QCOMPARE(resolveProgram("sh", folder), folder + "/sh");
        QCOMPARE(resolveProgram("clipwright-no-such-program", folder), QString());

        const QString user = m_dir->filePath("user/data");
        QCOMPARE(chooseWritableFolder(folder, user), folder);
        QCOMPARE(chooseWritableFolder(m_dir->filePath("missing"), user), user);
        QCOMPARE(chooseWritableFolder(QString(), user), user); // installed, not portable
        QVERIFY(QFileInfo(user).isDir());

        // The data folder: beside the program, else share/clipwright of its prefix.
        const QString bin = m_dir->filePath("prefix/bin");
        const QString share = m_dir->filePath("prefix/share/clipwright");
        QVERIFY(QDir().mkpath(bin) && QDir().mkpath(share));
        QCOMPARE(chooseDataFolder(bin), bin);
        writeFile(share + "/ct.s3db", "");
        QCOMPARE(chooseDataFolder(bin + "/"), share);
        writeFile(bin + "/ct.s3db", "");
        QCOMPARE(chooseDataFolder(bin), bin);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_Settings.moc"
