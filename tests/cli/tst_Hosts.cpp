#include "../TestSupport.h"
#include "engine/RemoteHosts.h"

#include <QTcpServer>
#include <csignal>

namespace {

// An sshd of the test's own on 127.0.0.1 at a free port, with its own keys;
// `path` is the PATH its sessions get (empty: sshd's default).
class Sshd
{
public:
    QString error; // why it did not start
    int port = 0;

    Sshd(const QString &folder, const QString &clientKey, const QString &path = {})
    {
        QTcpServer probe; // a port nobody listens on
        probe.listen(QHostAddress::LocalHost);
        port = probe.serverPort();
        probe.close();
        const QString config = folder + "/sshd_config";
        QDir().mkpath("/run/sshd"); // its privilege separation folder
        QString text = QString("Port %1\nListenAddress 127.0.0.1\nHostKey %2/host_key\n"
                               "AuthorizedKeysFile %3.pub\nStrictModes no\nUsePAM no\n"
                               "PidFile none\nMaxStartups 64\nMaxSessions 64\n")
                           .arg(port)
                           .arg(folder, clientKey);
        if (!path.isEmpty())
            text += "SetEnv PATH=" + path + "\n";
        if (!writeFile(config, text.toUtf8()) ||
            run("ssh-keygen", {"-q", "-t", "ed25519", "-N", "", "-f", folder + "/host_key"})
                .exitCode)
            error = "cannot write the sshd's files in " + folder;
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.start("/usr/sbin/sshd", {"-D", "-e", "-f", config});
        QByteArray said;
        while (error.isEmpty() && !said.contains("Server listening") &&
               m_process.waitForReadyRead(10000))
            said += m_process.readAll();
        if (error.isEmpty() && !said.contains("Server listening"))
            error = "sshd did not start: " + said + m_process.errorString();
    }
    ~Sshd()
    {
        m_process.terminate();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};

} // namespace

class TestHosts : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString m_cli = path("bin/clipwright-cli");
    std::unique_ptr<Sshd> m_sshd, m_withoutFfmpeg;

    // A hosts file: `server` once for each of `hosts`, `jobs` at once on each.
    QString hostsFile(const QString &name, int jobs = 2,
                      const QStringList &hosts = {"127.0.0.1", "localhost"},
                      const Sshd *server = nullptr)
    {
        QString text = "# test computers\n";
        for (const QString &host : hosts)
            text += QString("%1/ssh -p %2 -i %3 -o StrictHostKeyChecking=no "
                            "-o UserKnownHostsFile=/dev/null -o LogLevel=ERROR %4\n")
                        .arg(jobs)
                        .arg((server ? server : m_sshd.get())->port)
                        .arg(path("client_key"), host);
        writeFile(path(name), text.toUtf8());
        return path(name);
    }
    // The batch in a shell that runs `shellFirst` before it.
    CliResult convert(const QString &out, const QStringList &arguments,
                      const std::function<void(qint64)> &whileRunning = {},
                      const QString &shellFirst = ":")
    {
        QDir().mkpath(out);
        const QStringList shell = {
            "-c", shellFirst + "; exec \"$0\" \"$@\"", m_cli, "--profile", "2", "--output-folder",
            out};
        return runCli("sh", shell + arguments, whileRunning);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QDir().mkpath(path("sshd")) && QDir().mkpath(path("bare/bin")) &&
                QDir().mkpath(path("m")));
        QCOMPARE(installCli(path("bin")), m_cli);
        QCOMPARE(
            run("ssh-keygen", {"-q", "-t", "ed25519", "-N", "", "-f", path("client_key")}).exitCode,
            0);
        m_sshd = std::make_unique<Sshd>(path("sshd"), path("client_key"));
        QVERIFY2(m_sshd->error.isEmpty(), qPrintable(m_sshd->error));
        // The second computer has every program but ffmpeg.
        for (const QString &name : QDir("/usr/bin").entryList(QDir::Files | QDir::System))
            if (!name.startsWith("ffmpeg"))
                QFile::link("/usr/bin/" + name, path("bare/bin/") + name);
        m_withoutFfmpeg =
            std::make_unique<Sshd>(path("bare"), path("client_key"), path("bare/bin"));
        QVERIFY2(m_withoutFfmpeg->error.isEmpty(), qPrintable(m_withoutFfmpeg->error));
        for (const char *name : {"c1.avi", "c2.avi", "c4.avi", "-it's $x; a\"b.avi"})
            QVERIFY(makeClip(path("m/") + name, 2, "160x120"));
        QVERIFY(makeClip(path("m/long.avi"), 6, "640x480"));
        const QString red = "-v error -f lavfi -i color=red:s=32x32 -frames:v 1 ";
        QCOMPARE(run(resolveProgram("ffmpeg"), (red + path("mark.png")).split(' ')).exitCode, 0);
    }

    void hostsFileShared_data()
    {
        addColumns<QString, QString, QStringList>("file", "given", "hosts");
        const QString o = "-o BatchMode=yes -o ControlMaster=auto -o ControlPath=/c/%C "
                          "-o ControlPersist=30";
        newRow("plain, user, slots, comment", "# x\n\nhost\n2/ann@b\n",
               "ssh " + o + " host\n2/ssh " + o + " ann@b\n", QStringList{"host", "ann@b"});
        newRow("ssh command, group, this computer",
               "@g/4/ssh -p 22 h\n:\n8/:\n/usr/bin/myssh -p 2 z\n",
               "@g/4/ssh " + o + " -p 22 h\n:\n8/:\n/usr/bin/myssh -p 2 z\n",
               QStringList{"h", "this computer", "this computer", "z"});
    }
    void hostsFileShared()
    {
        QFETCH(QString, file);
        const SharedHosts shared = shareConnections(file, "/c");
        QTEST(shared.text, "given");
        QTEST(shared.hosts, "hosts");
        QCOMPARE(shareConnections("# none\n", "/c").error, "the hosts file lists no computer");
    }

    // Three rows (one with a hostile name, one with a watermark) give what
    // they give here, and the sources stay as they were.
    void sameAsLocal()
    {
        // The hosts' ffmpeg notes its arguments: the job folder's names, no path of here.
        QVERIFY(QDir().mkpath(path("spy")) &&
                writeScript(path("spy/ffmpeg"), ("echo \"$*\" >>" + path("spy/args") + "\nexec " +
                                                 resolveProgram("ffmpeg") + " \"$@\"\n")
                                                    .toUtf8()));
        Sshd spy(path("spy"), path("client_key"), path("spy:") + qEnvironmentVariable("PATH"));
        const QString hosts = hostsFile("hosts", 2, {"127.0.0.1", "localhost"}, &spy);
        const QByteArray before = readFile(path("m/c1.avi"));
        const QList<QStringList> batches{
            {path("m/c1.avi"), path("m/-it's $x; a\"b.avi")},
            {"--watermark", path("mark.png") + "@Top left corner", path("m/c4.avi")}};
        for (const QStringList &batch : batches) {
            const CliResult remote = convert(path("remote"), QStringList{"--hosts", hosts} + batch);
            QVERIFY2(remote.exitCode == 0, qPrintable(remote.out + remote.err));
            QCOMPARE(convert(path("local"), batch).exitCode, 0);
        }
        const QStringList outputs = QDir(path("local")).entryList(QDir::Files); // three: exit 0
        QCOMPARE(QDir(path("remote")).entryList(QDir::Files | QDir::Hidden), outputs);
        for (const QString &name : outputs) // streams and length
            QCOMPARE(probe(path("remote/") + name), probe(path("local/") + name));
        const QByteArray ran = readFile(path("spy/args"));
        QVERIFY2(ran.count('\n') == 3 && !ran.contains(m_dir.path().toUtf8()), ran);
        QCOMPARE(readFile(path("m/c1.avi")), before);
        // Nothing is left in the program's stage.
        QCOMPARE(QDir(path("bin/Cache/hosts")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
                 QStringList());
    }

    void failures_data()
    {
        addColumns<QString, QString, QString>("setup", "failed", "reason");
        newRow("a computer without ffmpeg", "bare", "doomed", "ffmpeg was not found on 127.0.0.1");
        newRow("the source removed while it waits", "remove", "doomed",
               "The source could not be sent to 127.0.0.1; was it removed or moved?");
        // The returned file exceeds the size limit: GNU Parallel still logs 0.
        newRow("a return that fails", "limit", "long",
               "The converted file could not be brought back from 127.0.0.1.");
    }
    void failures()
    {
        QFETCH(QString, setup);
        QFETCH(QString, failed);
        const QString out = path("failed-" + setup);
        QFile::copy(path("m/c1.avi"), path("m/doomed.avi"));
        const QString hosts = hostsFile(setup + "-hosts", 1, {"127.0.0.1"},
                                        setup == "bare" ? m_withoutFfmpeg.get() : nullptr);
        // Under "limit", the files the batch writes here may not be as large
        // as the long row's output.
        const QString limit = setup == "limit" ? "200" : "unlimited";
        bool firstDone = setup != "remove";
        const CliResult r = convert(
            out,
            QStringList{"--hosts", hosts, path("m/long.avi")} +
                (failed == "doomed" ? QStringList{path("m/doomed.avi")} : QStringList()),
            [&](qint64) {
                // Row 1 runs alone on the one slot; row 2 waits for it.
                if (setup == "remove") {
                    firstDone = QTest::qWaitFor(
                        [&] { return QFileInfo::exists(out + "/long.mp4"); }, 60000);
                    QFile::remove(path("m/doomed.avi"));
                }
            },
            "ulimit -f " + limit);
        QVERIFY(firstDone);
        QCOMPARE(r.exitCode, 1);
        QFETCH(QString, reason);
        QVERIFY2(r.err.contains(reason), qPrintable(r.err));
        QVERIFY2(r.out.contains("Fail\t" + path("m/" + failed + ".avi")), qPrintable(r.out));
        // Nothing of the failed row stays behind, no part file either.
        QCOMPARE(QDir(out).entryList(QDir::Files | QDir::Hidden),
                 setup == "remove" ? QStringList{"long.mp4"} : QStringList());
    }

    // Ctrl+C ends the batch and its jobs on the hosts and keeps nothing
    // partial.
    void interrupted()
    {
        const QString hosts = hostsFile("slow-hosts", 1);
        const QString out = path("interrupted");
        QStringList arguments{"--hosts", hosts, "--set", "Video Options/Video Size=1280x720"};
        for (const char *name : {"c1.avi", "long.avi", "c2.avi"})
            arguments << path("m/") + name;
        bool firstDone = false;
        const CliResult stopped = convert(out, arguments, [&](qint64 group) {
            firstDone = QTest::qWaitFor([&] { return QFileInfo::exists(out + "/c1.mp4"); }, 60000);
            ::kill(-pid_t(group), SIGINT);
        });
        QVERIFY(firstDone);
        QCOMPARE(stopped.exitCode, 130);
        // The hosts' jobs end as their connection closes.
        QTRY_VERIFY_WITH_TIMEOUT(run("pgrep", {"-f", "^ffmpeg -nostdin"}).exitCode == 1, 1500);
        const QStringList kept = QDir(out).entryList(QDir::Files | QDir::Hidden);
        QVERIFY2(kept.size() < 3 && kept.filter(".part").isEmpty(), qPrintable(kept.join(' ')));
    }
};

QTEST_GUILESS_MAIN(TestHosts)
#include "tst_Hosts.moc"
