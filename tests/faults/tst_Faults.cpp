#include "../TestSupport.h"

#include <csignal>

// clipwright-cli with a child program that fails in its own way: a script
// named ffmpeg or mplayer in the program folder, which is searched first.
// Whatever happens, the row ends with a reason, the source is unchanged, no
// part file is left, an existing output is untouched and no child outlives
// the program.
class TestFaults : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_source = m_dir.filePath("source.avi");
    QByteArray m_sourceBytes;
    QString m_ffmpeg = resolveProgram("ffmpeg");

    QString path(const QString &name) const { return m_dir.filePath(name); }
    // A program folder with clipwright-cli, the catalogue and `fake` as the
    // program `name`; the fake notes its process id before it does anything.
    QString programFolder(const QString &name, const QString &fake)
    {
        const QString bin = path("bin-" + QString::number(QRandomGenerator::global()->generate()));
        installCli(bin);
        if (!fake.isEmpty()) {
            // FFmpeg is also asked for its encoders at start: the real one answers.
            const QString script = "echo $$ >> \"$0.pids\"\n" +
                                   (name == "ffmpeg" ? "case \"$*\" in *-encoders*) exec " +
                                                           m_ffmpeg + " \"$@\";; esac\n"
                                                     : QString()) +
                                   fake + "\n";
            writeScript(bin + "/" + name, script.toUtf8());
        }
        return bin;
    }

    // Each row's clipwright-cli, started by childFails_data: the rows run
    // side by side and each judges its own.
    struct Launched
    {
        QString bin;
        std::unique_ptr<QProcess> cli;
        std::unique_ptr<QSignalSpy> ended;

        void
        start(const QString &program, const QStringList &arguments,
              const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
        {
            cli = std::make_unique<QProcess>();
            ended = std::make_unique<QSignalSpy>(cli.get(), &QProcess::finished);
            cli->setProcessEnvironment(environment);
            cli->setProcessChannelMode(QProcess::MergedChannels);
            cli->start(program, arguments);
        }
        bool hasEnded() const { return ended->count() > 0 || ended->wait(120000); }
    };
    std::map<QString, Launched> m_launched;

    void launch(const QString &tag, const QString &program, const QString &fake, bool replaces)
    {
        Launched &row = m_launched[tag];
        row.bin = programFolder(program, fake);
        QDir().mkpath(row.bin + "/out");
        // A failing row must leave the file it would have replaced as it was.
        writeFile(row.bin + "/settings.dat", replaces ? "[set]\nexistedfile=1\n" : "");
        writeFile(row.bin + "/out/source.mp4", "keep");
        // A missing program is missing from the search path too.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (fake.isEmpty()) {
            const QString path = row.bin + "/path";
            QDir().mkpath(path);
            for (const char *other : {"ffprobe", "mplayer"}) // only FFmpeg is ever missing
                QFile::link(resolveProgram(other), path + "/" + other);
            environment.insert("PATH", path);
        }
        row.start(row.bin + "/clipwright-cli",
                  {"--profile", "2", "--output-folder", row.bin + "/out", m_source}, environment);
    }

    Launched m_diskFull;

    void startDiskFull()
    {
        const QString out = path("full");
        QDir().mkpath(out);
        // Noise: no encoder gets that into 2 MB at the profile's bitrate.
        const QString noisy = path("noisy.avi");
        QCOMPARE(run(m_ffmpeg, {"-v", "error", "-f", "lavfi", "-i",
                                "testsrc2=size=640x360:rate=25,noise=alls=100:allf=t", "-t", "20",
                                "-c:v", "mpeg4", "-q:v", "4", noisy})
                     .exitCode,
                 0);
        m_diskFull.bin = programFolder("ffmpeg", QString());
        writeFile(m_diskFull.bin + "/settings.dat", "[set]\nexistedfile=1\n");
        const QString script = "mount -t tmpfs -o size=2m tmpfs \"$0\" || exit 1; printf keep > "
                               "\"$0/noisy.mp4\" && \"$1\" --profile 2 --output-folder \"$0\" "
                               "\"$2\"; status=$?; echo FOLDER; ls -a \"$0\"; cat "
                               "\"$0/noisy.mp4\"; echo; exit $status";
        m_diskFull.start(
            "unshare", {"-rm", "sh", "-c", script, out, m_diskFull.bin + "/clipwright-cli", noisy});
    }

private slots:
    void initTestCase()
    {
        QVERIFY(makeClip(m_source, 20, "640x360"));
        m_sourceBytes = readFile(m_source);
    }

    void childFails_data()
    {
        // The program replaced and how it fails; the exit status; pieces of
        // stdout and stderr ("" none).
        addColumns<QString, int, QString>("program", "exitCode", "expected");
        const QString realFfmpeg = "exec " + m_ffmpeg + " \"$@\"";
        // The summary of a run that wrote a whole file.
        const QString summary =
            "printf 'frame=500 size=1200kB time=00:00:20.00 bitrate=491kbits/s"
            "\\nvideo:900kB audio:300kB subtitle:0kB other streams:0kB\\n' >&2; ";
        // Each row's batch starts here; the rows run side by side.
        const auto row = [this](const char *tag, const char *program, const QString &fake,
                                int exitCode, const char *expected) {
            newRow(tag, QString(program), exitCode, QString(expected));
            launch(tag, program, fake, exitCode != 0);
        };
        row("FFmpeg exits 1 at once", "ffmpeg", "exit 1", 1,
            "Fail\t|FFmpeg ended with exit code 1.");
        row("FFmpeg killed half-way", "ffmpeg", "(sleep 1; kill -9 $$) & " + realFfmpeg, 1,
            "Fail\t|FFmpeg crashed.");
        // Its summary claims a whole file: the size alone shows there is none.
        row("FFmpeg writes 50 bytes", "ffmpeg",
            "eval part=\\${$(($# - 2))}; head -c 50 /dev/zero > \"$part\"; " + summary + "exit 0",
            1, "Fail\t|FFmpeg wrote only 50 bytes.");
        row("FFmpeg's statistics are garbage", "ffmpeg",
            "eval stats=\\${$#}; ( while kill -0 $$ 2>/dev/null; do head -c 3000 "
            "/dev/urandom >> \"$stats\"; sleep 0.05; done ) & " +
                realFfmpeg,
            0, "OK\t|");
        row("FFmpeg missing", "ffmpeg", QString(), 1,
            "Fail\t|FFmpeg was not found in the program folder or on PATH.");
        row("MPlayer hangs", "mplayer", "exec sleep 1000", 0, "OK\t|");
        startDiskFull();
    }
    void childFails()
    {
        QFETCH(QString, program);
        QFETCH(int, exitCode);
        QFETCH(QString, expected);
        Launched &row = m_launched.at(QTest::currentDataTag());
        QVERIFY(row.hasEnded());
        const QString said = QString::fromLocal8Bit(row.cli->readAll());
        QVERIFY2(row.cli->exitStatus() == QProcess::NormalExit && row.cli->exitCode() == exitCode,
                 qPrintable(said));
        for (const QString &piece : expected.split('|', Qt::SkipEmptyParts))
            QVERIFY2(said.contains(piece), qPrintable(said));

        QVERIFY(readFile(m_source) == m_sourceBytes);
        const QString out = row.bin + "/out";
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden).filter(".cw-"), QStringList());
        QCOMPARE(readFile(out + "/source.mp4"), QByteArray("keep"));
        if (exitCode == 0)
            QVERIFY(qAbs(duration(out + "/source_New.mp4") - 20) < 0.35);
        // Each child leads its own process group: nothing of it, helpers
        // included, outlives the program. A straggler is killed either way.
        for (const QByteArray &pid : readFile(row.bin + "/" + program + ".pids").split('\n')) {
            if (pid.isEmpty())
                continue;
            const pid_t group = pid_t(pid.toInt());
            const bool ended = QTest::qWaitFor([group] { return ::kill(-group, 0) != 0; }, 2000);
            ::kill(-group, SIGKILL);
            QVERIFY2(ended, pid.constData());
        }
    }

    // A full disk, made as a 2 MB tmpfs in a private mount namespace; the
    // batch was started with the others.
    void diskFull()
    {
        QVERIFY(m_diskFull.hasEnded());
        const QByteArray said = m_diskFull.cli->readAll();
        if (!said.contains("FOLDER")) // the tmpfs could not be made
            QSKIP(qPrintable("no private tmpfs here: " + said));
        QVERIFY2(m_diskFull.cli->exitCode() == 1, said.constData());
        QVERIFY2(said.contains("Fail\t") && said.contains("No space left on device"),
                 said.constData());
        // No part file is left, and the reason names the output, not the part file.
        QVERIFY2(!said.contains(".cw-"), said.constData());
        QVERIFY2(said.trimmed().endsWith("keep"), said.constData());
    }
};

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_Faults.moc"
