#include "../TestSupport.h"

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
        QCOMPARE(installCli(path("bin")), m_cli);
        QVERIFY(makeClip(path("a clip.avi"), 3) && makeClip(path("-b.avi"), 3) &&
                makeClip(path("slow.avi"), 3, "1280x720") &&
                makeClip(path("long.avi"), 20, "640x360"));
        QVERIFY(writeFile(path("notes.avi"), "not a video\n"));
        // A busy picture, so that the encoder spends what it is given.
        const QString fit =
            "-v error -f lavfi -i testsrc2=size=640x360:rate=25,noise=alls=12:allf=t "
            "-f lavfi -i sine=frequency=440 -t 10 -c:v mpeg4 -q:v 3 -c:a mp2";
        QCOMPARE(run(resolveProgram("ffmpeg"), fit.split(' ') << path("fit.avi")).exitCode, 0);
    }

    void batch_data()
    {
        // outPieces in this order; none: no output at all. A row that is to
        // exit with 130 gets Ctrl+C once FFmpeg has written 200 kB.
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
        const QString fit = path("fit.avi"), longClip = path("long.avi");
        const QString logo = path("logo@1.avi"); // any existing file passes as the picture
        QFile::copy(a, logo);

        row("profiles listed from 1", {"--list-profiles"}, 0, {"1\tc001\t", "\n2\tp101\t"});
        // Entry 1 is a category: the profile after it (MP4 H264: x264, aac) is
        // used. A line break in a name keeps the row on one line.
        const QString lines = path("two\nlines\\.avi"), shown = path("two\\nlines\\\\.avi");
        QFile::copy(a, lines);
        row("dry run: clip, watermark, set, a line break in the name",
            {"--dry-run", "--clip", "0:00:01-0:00:02", "--watermark", logo + "@Center", "--set",
             "Video Options/Video Size=640x360", "--set", "Audio Options/A/V Sync=Default", lines},
            0,
            {"-ss 1 -i \"" + shown + "\" -i \"" + logo + "\" -filter_complex overlay=(",
             " -vcodec libx264 ", " -t 1 ", " -s 640x360 ", " -acodec aac ",
             " \"" + out + "/two\\nlines\\\\.mp4\" -vstats_file ",
             "\t" + out + "/two\\nlines\\\\.mp4\n"});
        row("clip: applied before its row converts", {"--clip", "0:00:01-0:00:02", a}, 0,
            {"OK\t" + a + "\t" + aOut + "\n"});
        // Row 1 ends last, yet its line comes first.
        row("two at once: lines in list order", {"--jobs", "2", path("slow.avi"), b}, 0,
            {"OK\t" + path("slow.avi") + "\t" + out + "/slow.mp4\n",
             "OK\t" + b + "\t" + bOut + "\n", "Conversion completed!\n"});
        row("bad --jobs", {"--jobs", "9", a}, 2, {},
            {"--jobs takes a number from 1 to 8, or auto"});
        row("estimate: a line a row, then the total", {"--estimate", a, notes}, 1,
            {"\t" + a + "\n", "-\t-\t" + notes + "\n", "total\t", "\t1\n"}, {"length unknown"});
        row("estimate of a fit", {"--estimate", "--fit-size", "1M", fit}, 0,
            {"\t" + fit + "\n", "total\t"}, {"Video Bitrate set to "});
        row("fit: converted to 1 MB", {"--fit-size", "1M", fit}, 0, {"OK\t" + fit},
            {"Video Bitrate set to "});
        // Ctrl+C reaches the whole job: the program, and FFmpeg unless it is
        // shielded.
        row("Ctrl+C cancels the row", {longClip}, 130,
            {"Cancel\t" + longClip + "\t" + out + "/long.mp4\n"},
            {"Conversion Canceled by the user!"});
        row("clip past the end", {"--clip", "0:00:05-0:00:08", a}, 1,
            {"Fail\t" + a + "\t" + aOut + "\n"}, {"The clip starts after the end of the file."});
        row("missing file", {a, path("gone.avi")}, 2, {},
            {"Invalid input file name. " + path("gone.avi")});
        row("read-only item", {"--set", "Output Duration/Start Time=0:00:01", a}, 2, {},
            {"cannot be set"});
        row("bad clip", {"--clip", "0:00:05-0:00:02", a}, 2, {}, {"--clip"});
        row("profile out of range", {"--profile", "9999", a}, 2, {}, {"outside 1.."});
    }
    void batch()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QStringList, outPieces);
        QFETCH(QStringList, errPieces);
        QDir out(path("out"));
        QVERIFY(out.removeRecursively() && out.mkpath("."));
        const CliResult r = runCli(m_cli, arguments, [&](qint64 pid) {
            QTRY_VERIFY_WITH_TIMEOUT(
                exitCode != 130 ||
                    out.entryInfoList(QDir::Files | QDir::Hidden).value(0).size() > 200000,
                60000);
            if (exitCode == 130)
                ::kill(-static_cast<pid_t>(pid), SIGINT);
        });
        QVERIFY2(r.exitCode == exitCode, qPrintable(r.out + r.err));
        QVERIFY2(outPieces.isEmpty() == r.out.isEmpty(), qPrintable(r.out));
        qsizetype at = 0;
        for (const QString &piece : outPieces) {
            at = r.out.indexOf(piece, at);
            QVERIFY2(at >= 0, qPrintable(piece + " not in order in:\n" + r.out));
        }
        for (const QString &piece : errPieces)
            QVERIFY2(r.err.contains(piece), qPrintable(r.err));
        // Plans and estimates convert nothing, and no sample stays behind.
        if (arguments.contains("--dry-run") || arguments.contains("--estimate"))
            QCOMPARE(out.entryList(QDir::Files | QDir::Hidden), QStringList());
        QCOMPARE(QDir(path("bin/Cache/samples")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList());
        if (r.out.startsWith("OK\t") && arguments.contains("--clip")) // 1 s of 3
            QVERIFY(qAbs(duration(out.filePath("a clip.mp4")) - 1) < 0.3);
        if (r.out.startsWith("OK\t") && arguments.contains("--fit-size")) // within 5 %
            QVERIFY2(qAbs(QFileInfo(out.filePath("fit.mp4")).size() - 1000000) <= 50000,
                     qPrintable(r.err));
    }

    // What the table's argument lists cannot carry: the shell gives the bytes
    // and the search path.
    void refusedAtOnce_data()
    {
        addColumns<QString, QString>("command", "err");
        newRow("a name that is not UTF-8", "exec \"$0\" \"$(printf 'caf\\351.avi')\"",
               "The file name is not valid UTF-8: caf\\xe9.avi\n");
        newRow("an estimate without FFmpeg", "PATH=/nonexistent exec \"$0\" --estimate \"$1\"",
               "clipwright-cli: No estimate: FFmpeg was not found\n");
    }
    void refusedAtOnce()
    {
        QFETCH(QString, command);
        const CliResult r = runCli("/bin/sh", {"-c", command, m_cli, path("a clip.avi")});
        QCOMPARE(r.exitCode, 2);
        QTEST(r.err, "err");
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_Cli.moc"
