#include "../TestSupport.h"
#include "app/ProfileCatalogue.h"

#include <csignal>

class TestCli : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString m_cli = path("bin/clipwright-cli");

private slots:
    void initTestCase()
    {
        // A program folder of its own keeps settings.dat and curconvert.log
        // out of the build.
        QVERIFY(QDir().mkpath(path("out")));
        QCOMPARE(installCli(path("bin")), m_cli);
        QVERIFY(makeClip(path("a clip.avi"), 3) && makeClip(path("-b.avi"), 3) &&
                makeClip(path("slow.avi"), 3, "1280x720"));
        QVERIFY(writeFile(path("notes.avi"), "not a video\n"));
    }

    void listProfiles()
    {
        ProfileCatalogue catalogue;
        QVERIFY(catalogue.open(path("bin/ct.s3db")));
        const QVector<ProfileEntry> entries = catalogue.loadEntries();
        QString expected;
        for (int i = 0; i < entries.size(); ++i)
            expected +=
                QStringLiteral("%1\t%2\t%3\n").arg(i + 1).arg(entries[i].key, entries[i].text);
        const CliResult r = runCli(m_cli, {"--list-profiles"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, expected);
        QVERIFY(r.out.startsWith("1\tc001\t") && r.out.contains("\n2\tp101\t001.  MP4 "));
    }

    void batch_data()
    {
        // outPieces in this order; none: no output at all
        addColumns<QStringList, int, QStringList, QStringList>("arguments", "exitCode", "outPieces",
                                                               "errPieces");
        const QString out = path("out");
        const auto row = [&](const char *name, const QStringList &arguments, int exitCode,
                             const QStringList &outPieces, const QStringList &errPieces = {}) {
            newRow(name, QStringList{"--profile", "1", "--output-folder", out} + arguments,
                   exitCode, outPieces, errPieces);
        };
        const QString a = path("a clip.avi"), b = path("-b.avi"), notes = path("notes.avi");
        const QString aOut = out + "/a clip.mp4", bOut = out + "/-b.mp4";
        const QString logo = path("logo@1.avi"); // any existing file passes as the picture
        QFile::copy(a, logo);

        // Entry 1 is a category: the profile after it (MP4 H264: x264, aac) is used.
        row("dry run", {"--dry-run", a}, 0,
            {"-hide_banner -i \"" + a + "\" ", " -vcodec libx264 ", " -acodec aac ",
             " \"" + aOut + "\" -vstats_file ", "\t" + aOut + "\n"});
        row("clip, watermark, set",
            {"--dry-run", "--clip", "0:00:01-0:00:02", "--watermark", logo + "@Center", "--set",
             "Video Options/Video Size=640x360", "--set", "Audio Options/A/V Sync=Default", a},
            0,
            {"-ss 1 -i \"" + a + "\" -i \"" + logo + "\" -filter_complex overlay=(", " -t 1 ",
             " -s 640x360 ", "\t" + aOut + "\n"});
        row("clip: applied before its row converts", {"--clip", "0:00:01-0:00:02", a}, 0,
            {"OK\t" + a + "\t" + aOut + "\n"});
        // Row 1 ends last, yet its line comes first.
        row("two at once: lines in list order", {"--jobs", "2", path("slow.avi"), b}, 0,
            {"OK\t" + path("slow.avi") + "\t" + out + "/slow.mp4\n", "OK\t" + b + "\t" + bOut + "\n",
             "Conversion completed!\n"});
        row("bad --jobs", {"--jobs", "9", a}, 2, {}, {"--jobs takes a number from 1 to 8, or auto"});
        row("estimate: a line a row, then the total", {"--estimate", a, notes}, 1,
            {"\t" + a + "\n", "-\t-\t" + notes + "\n", "total\t", "\t1\n"}, {"length unknown"});
        row("bad --fit-size", {"--fit-size", "lots", a}, 2, {}, {"--fit-size takes a size"});
        row("undecodable first row", {notes, a}, 1,
            {"Fail\t" + notes + "\t" + out + "/notes.mp4\n", "OK\t" + a, "Conversion completed!\n"},
            {"Failed: " + notes, "Invalid data"});
        const QString lines = path("two\nlines\\.avi");
        QFile::copy(a, lines);
        row("line break in a name: still one line", {"--dry-run", lines}, 0,
            {"\"" + path("two\\nlines\\\\.avi") + "\"", "\t" + out + "/two\\nlines\\\\.mp4\n"});
        row("clip past the end", {"--clip", "0:00:05-0:00:08", a}, 1,
            {"Fail\t" + a + "\t" + aOut + "\n"}, {"The clip starts after the end of the file."});
        row("missing file", {a, path("gone.avi")}, 2, {},
            {"Invalid input file name. " + path("gone.avi")});
        row("unknown item", {"--set", "Video Options/Colour=red", a}, 2, {},
            {"\"Video Options/Colour\""});
        row("read-only item", {"--set", "Output Duration/Start Time=0:00:01", a}, 2, {},
            {"cannot be set"});
        row("bad clip", {"--clip", "0:00:05-0:00:02", a}, 2, {}, {"--clip"});
        row("bad place", {"--watermark", logo + "@Middle", a}, 2, {}, {"Center"});
        row("profile out of range", {"--profile", "9999", a}, 2, {}, {"outside 1.."});
    }
    void batch()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QStringList, outPieces);
        QFETCH(QStringList, errPieces);
        QDir out(path("out"));
        QVERIFY(out.removeRecursively() && out.mkpath("."));
        const CliResult r = runCli(m_cli, arguments);
        QFETCH(int, exitCode);
        QVERIFY2(r.exitCode == exitCode, qPrintable(r.out + r.err));
        QVERIFY2(outPieces.isEmpty() == r.out.isEmpty(), qPrintable(r.out));
        qsizetype at = 0;
        for (const QString &piece : outPieces) {
            at = r.out.indexOf(piece, at);
            QVERIFY2(at >= 0, qPrintable(piece + " not in order in:\n" + r.out));
        }
        for (const QString &piece : errPieces)
            QVERIFY2(r.err.contains(piece), qPrintable(r.err));
        if (arguments.contains("--dry-run"))
            QCOMPARE(r.out.count(QChar(10)), 1); // one file, one line
        for (const QString &line : r.out.split('\n')) {
            if (line.startsWith("OK\t")) // 3 s, or 1 s with the clip
                QVERIFY2(qAbs(duration(line.section('\t', 2)) -
                              (arguments.contains("--clip") ? 1 : 3)) < 0.3,
                         qPrintable(line));
            if (line.startsWith("Fail\t"))
                QVERIFY(!QFile::exists(line.section('\t', 2)));
        }
    }

    void fitToSize()
    {
        // A busy picture, so that the encoder spends what it is given.
        const QString source = path("fit.avi");
        const QString make =
            "-v error -f lavfi -i testsrc2=size=640x360:rate=25,noise=alls=12:allf=t "
            "-f lavfi -i sine=frequency=440 -t 10 -c:v mpeg4 -q:v 3 -c:a mp2";
        QCOMPARE(run(resolveProgram("ffmpeg"), make.split(' ') << source).exitCode, 0);
        QDir out(path("out"));
        QVERIFY(out.removeRecursively() && out.mkpath("."));
        const QStringList common = {"--profile", "1", "--output-folder", out.path(), "--fit-size",
                                    "1M", source};
        CliResult r = runCli(m_cli, QStringList{"--estimate"} + common);
        QVERIFY2(r.exitCode == 0 && r.err.contains("Video Bitrate set to "), qPrintable(r.err));
        QCOMPARE(out.entryList(QDir::Files), QStringList()); // an estimate converts nothing
        r = runCli(m_cli, common);
        QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
        const qint64 size = QFileInfo(out.filePath("fit.mp4")).size();
        QVERIFY2(qAbs(size - 1000000) <= 50000, qPrintable(QString::number(size) + "\n" + r.err));
        QCOMPARE(QDir(path("bin/Cache/samples")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());

        r = runCli("/usr/bin/env", {"PATH=/nonexistent", m_cli, "--estimate", source});
        QVERIFY2(r.exitCode == 2 && r.err.contains("No estimate: FFmpeg was not found"),
                 qPrintable(r.err));
    }

    void nameThatIsNotUtf8()
    {
        const CliResult r =
            runCli("/bin/sh", {"-c", "exec \"$0\" \"$(printf 'caf\\351.avi')\"", m_cli});
        QCOMPARE(r.exitCode, 2);
        QCOMPARE(r.err, QString("The file name is not valid UTF-8: caf\\xe9.avi\n"));
    }

    void ctrlCKeepsThePartialFile()
    {
        const QString source = path("long.avi");
        QVERIFY(makeClip(source, 20, "640x360"));
        QDir out(path("cancel"));
        QVERIFY(out.mkpath("."));
        // Ctrl+C reaches the whole job: the program, and FFmpeg unless it is
        // shielded. It comes once FFmpeg has written a second or so.
        const CliResult r = runCli(
            m_cli, {"--profile", "1", "--output-folder", out.path(), source}, [&](qint64 pid) {
                QTRY_VERIFY_WITH_TIMEOUT(
                    out.entryInfoList(QDir::Files | QDir::Hidden).value(0).size() > 200000, 60000);
                ::kill(-static_cast<pid_t>(pid), SIGINT);
            });
        QVERIFY2(r.exitCode == 130, qPrintable(r.out + r.err));
        QCOMPARE(r.out, "Cancel\t" + source + "\t" + out.filePath("long.mp4") + "\n");
        QVERIFY(r.err.contains("Conversion Canceled by the user!"));
        const double played = duration(out.filePath("long.mp4"));
        QVERIFY2(played > 0.5 && played < 19, qPrintable(QString::number(played)));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_Cli.moc"
