#include "../TestSupport.h"
#include "../online/LoopbackServer.h"
#include "../online/WatchPage.h"

using Reply = LoopbackServer::Reply;

// What the command prints and how it exits; the lookups and downloads
// themselves are tst_OnlineVideoTool's.
class TestOnlineCli : public QObject
{
    Q_OBJECT

    LoopbackServer m_server;
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QString m_cli = path("bin/clipwright-cli");
    QByteArray m_video = QByteArray(300000, 'v');

private slots:
    void initTestCase()
    {
        QCOMPARE(installCli(path("bin")), m_cli); // Cache/ goes there
        QVERIFY(QDir().mkpath(path("out")));      // only the fetch writes there
        m_server.serve("/video", m_video);
        m_server.serve("/watch",
                       watchPage("Tab\there", "v42", "",
                                 "22|" + m_server.url("/video") + ",18|x,5|http://h/a%20b",
                                 "line 1\nline 2 \\ end"));
        m_server.serve("/plain", watchPage("Café: (live)", "v43", "", ""));
        m_server.serve("/endless", Reply(QByteArray(64 << 20, 'x')).withoutLength());
    }

    void run_data()
    {
        // out: the exact output; err: a piece of the errors ("": none)
        addColumns<QStringList, int, QString, QString>("arguments", "exitCode", "out", "err");
        const QString facts = "Title\t%1\nAuthor\tuploader\nVideoId\t%2\nPublished\tJan 2, 2010\n"
                              "Category\tFilm\nDescription\t%3\nThumbnailUrl\t\nDuration\t42\n"
                              "Rating\t4.5\n";
        newRow("lookup", QStringList{"--lookup", m_server.url("/watch")}, 0,
               facts.arg("Tab\\there", "v42", "line 1\\nline 2 \\\\ end") + "link\t22\t" +
                   m_server.url("/video") + "\nlink\t5\thttp://h/a b\n",
               "");
        newRow("lookup without links", QStringList{"--lookup", m_server.url("/plain")}, 0,
               facts.arg("Café live", "v43", "A clip"), "yt-dlp");
        newRow("lookup of an endless page", QStringList{"--lookup", m_server.url("/endless")}, 1,
               "", "\nThe page is larger than 8 MiB.\n");
        newRow("lookup of a file", QStringList{"--lookup", "file:///etc/passwd"}, 2, "",
               "Only http and https addresses can be opened.\n");
        const QString out = path("out");
        newRow("fetch mp4",
               QStringList{"--fetch", m_server.url("/watch"), "--format", "22", "--output-folder",
                           out},
               0, out + "/Tabhere.mp4\n", "");
        newRow("fetch a format the page lacks",
               QStringList{"--fetch", m_server.url("/watch"), "--format", "34"}, 1, "",
               "clipwright-cli: the page has no link for format 34\n");
    }
    void run()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const CliResult r = runCli(m_cli, arguments);
        QFETCH(int, exitCode);
        QVERIFY2(r.exitCode == exitCode, qPrintable(r.out + r.err));
        QCOMPARE(r.out, out);
        QVERIFY2(err.isEmpty() ? r.err.isEmpty() : r.err.contains(err), qPrintable(r.err));
        if (out.startsWith(path("out"))) // the name printed is the saved file
            QCOMPARE(readFile(out.chopped(1)), m_video);
    }
};

QTEST_GUILESS_MAIN(TestOnlineCli)
#include "tst_OnlineCli.moc"
