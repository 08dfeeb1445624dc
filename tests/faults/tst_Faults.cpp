#include "../TestSupport.h"

#include <QCryptographicHash>
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
    QByteArray m_sourceHash;
    QString m_ffmpeg = resolveProgram("ffmpeg");

    QString path(const QString &name) const { return m_dir.filePath(name); }
    static QByteArray hashOf(const QString &file)
    {
        return QCryptographicHash::hash(readFile(file), QCryptographicHash::Sha256);
    }
    // A program folder with clipwright-cli, the catalogue and `fake` as the
    // program `name`; the fake notes its process id before it does anything.
    QString programFolder(const QString &name, const QString &fake)
    {
        const QString bin = path("bin-" + QString::number(QRandomGenerator::global()->generate()));
        QDir().mkpath(bin);
        QFile::copy(CLIPWRIGHT_BIN_DIR "/clipwright-cli", bin + "/clipwright-cli");
        QFile::copy(CLIPWRIGHT_BIN_DIR "/ct.s3db", bin + "/ct.s3db");
        if (!fake.isEmpty()) {
            // FFmpeg is also asked for its encoders at start: the real one answers.
            const QString script = "#!/bin/sh\necho $$ >> \"$0.pids\"\n" +
                                   (name == "ffmpeg" ? "case \"$*\" in *-encoders*) exec " +
                                                           m_ffmpeg + " \"$@\";; esac\n"
                                                     : QString()) +
                                   fake + "\n";
            writeFile(bin + "/" + name, script.toUtf8());
            QFile::setPermissions(bin + "/" + name, QFile::ReadOwner | QFile::ExeOwner);
        }
        return bin;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(makeClip(m_source, 20, "640x360"));
        m_sourceHash = hashOf(m_source);
    }

    void childFails_data()
    {
        // The program replaced and how it fails; Ctrl+C after that many ms
        // (0: none); the exit status; pieces of stdout and stderr ("" none).
        addColumns<QString, QString, int, int, QString>("program", "fake", "interruptMs",
                                                        "exitCode", "expected");
        const QString realFfmpeg = "exec " + m_ffmpeg + " \"$@\"";
        newRow("FFmpeg exits 1 at once", "ffmpeg", QString("exit 1"), 0, 1,
               QString("Fail\t|FFmpeg ended with exit code 1."));
        newRow("FFmpeg killed half-way", "ffmpeg", "(sleep 1; kill -9 $$) & " + realFfmpeg, 0, 1,
               QString("Fail\t|FFmpeg crashed."));
        newRow("FFmpeg hangs until cancelled", "ffmpeg", QString("exec sleep 1000"), 1500, 130,
               QString("Cancel\t|Conversion Canceled by the user!"));
        newRow("FFmpeg writes 50 bytes", "ffmpeg",
               QString("eval part=\\${$(($# - 2))}; head -c 50 /dev/zero > \"$part\"; exit 0"), 0,
               1, QString("Fail\t|FFmpeg wrote only 50 bytes."));
        newRow("FFmpeg's statistics are garbage", "ffmpeg",
               "eval stats=\\${$#}; ( while kill -0 $$ 2>/dev/null; do head -c 3000 "
               "/dev/urandom >> \"$stats\"; sleep 0.05; done ) & " +
                   realFfmpeg,
               0, 0, QString("OK\t|"));
        newRow("FFmpeg missing", "ffmpeg", QString(), 0, 1,
               QString("Fail\t|FFmpeg was not found in the program folder or on PATH."));
        newRow("MPlayer missing", "mplayer", QString(), 0, 0, QString("OK\t|"));
        newRow("MPlayer prints garbage", "mplayer", QString("head -c 20000 /dev/urandom"), 0, 0,
               QString("OK\t|"));
        newRow("MPlayer hangs", "mplayer", QString("exec sleep 1000"), 0, 0, QString("OK\t|"));
    }
    void childFails()
    {
        QFETCH(QString, program);
        QFETCH(QString, fake);
        QFETCH(int, interruptMs);
        QFETCH(QString, expected);
        const QString bin = programFolder(program, fake);
        const QString out = bin + "/out";
        QDir().mkpath(out);
        QFETCH(int, exitCode);
        // A failing row must leave the file it would have replaced as it was.
        const bool replaces = exitCode != 0;
        writeFile(bin + "/settings.dat", replaces ? "[set]\nexistedfile=1\n" : "");
        writeFile(out + "/source.mp4", "keep");

        // A missing program is missing from the search path too.
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        if (fake.isEmpty()) {
            const QString path = bin + "/path";
            QDir().mkpath(path);
            for (const char *other : {"ffmpeg", "ffprobe", "mplayer"})
                if (program != other)
                    QFile::link(resolveProgram(other), path + "/" + other);
            environment.insert("PATH", path);
        }
        QProcess cli;
        cli.setProcessEnvironment(environment);
        cli.start(bin + "/clipwright-cli", {"--profile", "2", "--output-folder", out, m_source});
        QVERIFY(cli.waitForStarted());
        if (interruptMs > 0) {
            QTest::qWait(interruptMs);
            ::kill(pid_t(cli.processId()), SIGINT);
        }
        QVERIFY(cli.waitForFinished(120000));
        const QString said =
            QString::fromLocal8Bit(cli.readAllStandardOutput() + cli.readAllStandardError());
        QVERIFY2(cli.exitStatus() == QProcess::NormalExit && cli.exitCode() == exitCode,
                 qPrintable(said));
        for (const QString &piece : expected.split('|', Qt::SkipEmptyParts))
            QVERIFY2(said.contains(piece), qPrintable(said));

        QCOMPARE(hashOf(m_source), m_sourceHash);
        const QStringList left = QDir(out).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(left.filter(".cw-"), QStringList());
        QCOMPARE(readFile(out + "/source.mp4"), QByteArray("keep"));
        if (!replaces)
            QVERIFY(qAbs(duration(out + "/source_New.mp4") - 20) < 0.35);
        // Each child leads its own process group: nothing of it, helpers
        // included, outlives the program. A straggler is killed either way.
        for (const QByteArray &pid : readFile(bin + "/" + program + ".pids").split('\n')) {
            if (pid.isEmpty())
                continue;
            const pid_t group = pid_t(pid.toInt());
            const bool ended = QTest::qWaitFor([group] { return ::kill(-group, 0) != 0; }, 2000);
            ::kill(-group, SIGKILL);
            QVERIFY2(ended, pid.constData());
        }
    }

    // A full disk, made as a 2 MB tmpfs in a private mount namespace.
    void diskFull()
    {
        const QString out = path("full");
        QDir().mkpath(out);
        const RunResult probe =
            run("unshare", {"-rm", "sh", "-c", "mount -t tmpfs -o size=2m tmpfs \"$0\"", out});
        if (probe.exitCode != 0)
            QSKIP(qPrintable("no private tmpfs here: " + probe.output));
        // Noise: no encoder gets that into 2 MB at the profile's bitrate.
        const QString noisy = path("noisy.avi");
        QCOMPARE(run(m_ffmpeg, {"-v", "error", "-f", "lavfi", "-i",
                                "testsrc2=size=640x360:rate=25,noise=alls=100:allf=t", "-t", "20",
                                "-c:v", "mpeg4", "-q:v", "4", noisy})
                     .exitCode,
                 0);
        const QByteArray noisyHash = hashOf(noisy);
        const QString bin = programFolder("ffmpeg", QString());
        writeFile(bin + "/settings.dat", "[set]\nexistedfile=1\n");
        const QString script =
            "mount -t tmpfs -o size=2m tmpfs \"$0\" && printf keep > \"$0/noisy.mp4\" && \"$1\" "
            "--profile 2 --output-folder \"$0\" \"$2\"; status=$?; echo FOLDER; ls -a \"$0\"; cat "
            "\"$0/noisy.mp4\"; echo; exit $status";
        const RunResult r =
            run("unshare", {"-rm", "sh", "-c", script, out, bin + "/clipwright-cli", noisy});
        QVERIFY2(r.exitCode == 1, r.output.constData());
        QVERIFY2(r.output.contains("Fail\t") && r.output.contains("No space left on device"),
                 r.output.constData());
        // No part file is left, and the reason names the output, not the part file.
        QVERIFY2(!r.output.contains(".cw-"), r.output.constData());
        QVERIFY2(r.output.trimmed().endsWith("keep"), r.output.constData());
        QCOMPARE(hashOf(noisy), noisyHash);
    }
};

QTEST_GUILESS_MAIN(TestFaults)
#include "tst_Faults.moc"
