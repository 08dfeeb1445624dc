#include "../TestSupport.h"
#include "LoopbackServer.h"
#include "WatchPage.h"
#include "online/OnlineVideoTool.h"

#include <csignal>

using Reply = LoopbackServer::Reply;
Q_DECLARE_METATYPE(LoopbackServer::Reply)

namespace {

QByteArray bytes(int size)
{
    QByteArray data(size, '\0');
    for (int i = 0; i < size; ++i)
        data[i] = char(i * 7 % 251);
    return data;
}

// Every file under `folder`, relative to it, sorted.
QStringList filesUnder(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

QString lastText(const QSignalSpy &spy)
{
    return spy.isEmpty() ? QString() : spy.last().first().toString();
}

// Runs `start` and waits until the tool is idle again; false when it never was busy.
bool runToEnd(OnlineVideoTool &tool, const std::function<bool()> &start)
{
    QSignalSpy idle(&tool, &OnlineVideoTool::busyChanged);
    if (!start())
        return false;
    while (tool.isBusy())
        if (!idle.wait(20000))
            return false;
    return true;
}

} // namespace

class TestOnlineVideoTool : public QObject
{
    Q_OBJECT

    LoopbackServer m_server;
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

private slots:
    void lookUp()
    {
        // Both at their size limit.
        m_server.serve("/thumb.jpg", bytes(2 << 20));
        m_server.serve("/watch", watchPage("Big clip", "AbC-_9", m_server.url("/thumb.jpg"),
                                           "5|file:///etc/passwd")
                                     .leftJustified(8 << 20));
        OnlineVideoTool tool(path("w"));
        QSignalSpy status(&tool, &OnlineVideoTool::statusTextChanged);
        QSignalSpy finished(&tool, &OnlineVideoTool::lookupFinished);
        QSignalSpy messages(&tool, &OnlineVideoTool::errorMessage);
        QVERIFY(!tool.lookUp("file:///etc/passwd") && !tool.isBusy());
        QCOMPARE(lastText(messages), "Only http and https addresses can be opened.");
        QVERIFY(tool.lookUp(m_server.url("/watch")));
        QVERIFY(tool.isBusy() && !tool.lookUp(m_server.url("/watch")));
        QVERIFY(finished.wait(20000) && finished.first().first().toBool());
        QCOMPARE(lastText(status), "Links from the page");
        QCOMPARE(readFile(path("w/Cache/AbC-_9.jpg")), bytes(2 << 20));
        // The page's file: link is refused.
        QSignalSpy failed(&tool, &OnlineVideoTool::downloadFailed);
        QVERIFY(runToEnd(tool, [&] { return tool.download(5); }));
        QCOMPARE(lastText(failed), "Download failed: Only http and https addresses can be opened.");

        // One larger than the limit, and without end, is cut; the links stay.
        m_server.serve("/thumb.jpg", Reply(QByteArray(16 << 20, 'x')).withoutLength());
        m_server.serve("/big", watchPage("clip", "big", m_server.url("/thumb.jpg"), "22|u"));
        QVERIFY(runToEnd(tool, [&] { return tool.lookUp(m_server.url("/big")); }));
        QCOMPARE(lastText(status), "The thumbnail is larger than 2 MiB.");
        QVERIFY(tool.thumbnailPath().isEmpty() && tool.links().isEnabled(22));
    }

    void lookupFailures_data()
    {
        // A lookup of /page as `reply` answers it; script: the only yt-dlp on
        // the path ("": none); message: the error shown; title: the facts kept
        addColumns<Reply, QByteArray, QString, QString, QString>("reply", "script", "status",
                                                                 "message", "title");
        const QString wrong = "Something Went Wrong\n", big = "The page is larger than 8 MiB.";
        newRow("HTTP error", Reply("gone", 404, "Not Found"), QByteArray(), "Error 404 Not Found",
               wrong + "Error transferring", "");
        newRow("page cancelled", Reply().stallAfter(-1), QByteArray(), "Cancelled", "", "");
        newRow("endless page", Reply(QByteArray(64 << 20, 'x')).withoutLength(), QByteArray(), big,
               wrong + big, "");
        // The page's time limit ends it long before the transfer's time-out.
        newRow("past the time limit", Reply(bytes(1000)).stallAfter(100), QByteArray(),
               "Slow Connection", wrong + "The transfer did not end within 0.3", "");
        const Reply noLinks(watchPage("page", "v1", "", ""));
        const QByteArray hang = "echo $$ > \"$0.pid\"; exec /bin/sleep 30\n";
        newRow("yt-dlp hangs past the limit", noLinks, hang,
               "yt-dlp gave no answer within 3 seconds", "", "page");
        newRow("yt-dlp cancelled", noLinks, hang, "Cancelled", "", "");
        newRow("yt-dlp error", noLinks,
               QByteArray("echo 'ERROR: Unsupported URL: x' >&2; exit 1\n"),
               "yt-dlp: Unsupported URL: x", "", "page");
        newRow("yt-dlp absent", noLinks, QByteArray(),
               "No stream links on the page (yt-dlp is not installed)", "", "page");
        // About 100 MB a second, for ever: it is stopped at 8 MiB, long before its time is up.
        newRow("yt-dlp endless answer", noLinks,
               QByteArray("echo $$ > \"$0.pid\"; while :; do /usr/bin/head -c 1048576 /dev/zero; "
                          "/bin/sleep 0.01; done\n"),
               "yt-dlp's answer was larger than 8 MiB", "", "page");
    }
    void lookupFailures()
    {
        QFETCH(QByteArray, script);
        QFETCH(QString, message);
        QFETCH(Reply, reply);
        m_server.serve("/page", reply);
        const QByteArray tag = QTest::currentDataTag();
        const QString bin = path(tag), fake = bin + "/yt-dlp";
        if (!script.isEmpty())
            QVERIFY(QDir().mkpath(bin) && writeScript(fake, script));
        const QByteArray searchPath = qgetenv("PATH");
        qputenv("PATH", QFile::encodeName(bin));
        const auto restore = qScopeGuard([&] { qputenv("PATH", searchPath); });

        OnlineVideoTool tool(bin + "/w");
        if (tag == "past the time limit")
            tool.setPageTimeLimit(300);
        tool.setResolverTimeLimit(3000);
        QSignalSpy status(&tool, &OnlineVideoTool::statusTextChanged);
        QSignalSpy messages(&tool, &OnlineVideoTool::errorMessage);
        QSignalSpy finished(&tool, &OnlineVideoTool::lookupFinished);
        const qsizetype asked = m_server.requests().size();
        QVERIFY(tool.lookUp(m_server.url("/page")));
        if (tag.endsWith("cancelled")) { // once the server has the request, or yt-dlp runs
            QTRY_VERIFY_WITH_TIMEOUT(script.isEmpty() ? m_server.requests().size() > asked
                                                      : QFile::exists(fake + ".pid"),
                                     20000);
            tool.cancel();
        }
        QTRY_VERIFY_WITH_TIMEOUT(!tool.isBusy(), 20000);
        QTEST(lastText(status), "status");
        QCOMPARE(finished.size(), 1);
        QCOMPARE(messages.size(), message.isEmpty() ? 0 : 1);
        QCOMPARE(lastText(messages).left(message.size()), message);
        QTEST(tool.pageInfo().Title, "title");
        QCOMPARE(tool.lookupProblem(), tool.pageInfo().Title.isEmpty() ? "" : lastText(status));
        QVERIFY(!tool.links().isEnabled(22) && !QDir(bin + "/w").exists());
        // The limit and Cancel end yt-dlp, not just wait for it.
        if (script.contains("sleep"))
            QCOMPARE(::kill(pid_t(readFile(fake + ".pid").trimmed().toInt()), 0), -1);
    }

    void download_data()
    {
        // result: "saved", or the failure's text; "stalled" rows end a
        // transfer stalled after 1500 bytes
        addColumns<Reply, QList<int>, QString, QString>("reply", "pieces", "shown", "result");
        const QByteArray body = bytes(2500);
        const QList<int> all{41, 82, 100}, half{41}, none;
        const QString failed = "Download failed: ";
        newRow("2500 bytes", Reply(body), all, "100 % ", "saved");
        newRow("1024 bytes", Reply(bytes(1024)), QList<int>{100}, "100 % ", "saved");
        newRow("empty", Reply(), none, "100 % ", "saved");
        newRow("cut at half", Reply(bytes(1250)).withoutLength().header("Content-Length: 2500"),
               half, "41 % ",
               failed + "the transfer ended after 1250 of 2500 bytes (Connection closed)");
        newRow("Content-Length not a number",
               Reply(body).withoutLength().header("Content-Length: many"), QList<int>{-1, -1, -1},
               "2.44 KiB received", "saved");
        newRow("404", Reply("missing", 404, "Not Found"), none, "", failed + "Error 404 Not Found");
        newRow("redirect to file", Reply("", 302, "Found").header("Location: file:///etc/passwd"),
               none, "", failed + "Only http and https addresses can be opened.");
        newRow("redirect to http",
               Reply("", 302, "Found").header("Location: " + m_server.url("/moved").toUtf8()), all,
               "100 % ", "saved");
        const Reply stalled = Reply(body).stallAfter(1500);
        newRow("stalled, cancel", stalled, half, "41 % ", "Download cancelled");
        newRow("stalled, time-out", stalled, half, "41 % ", failed + "Slow Connection");
        newRow("stalled, tool closed", stalled, half, "41 % ", "");
    }
    void download()
    {
        QFETCH(Reply, reply);
        QFETCH(QString, result);
        m_server.serve("/video", reply);
        m_server.serve("/moved", bytes(2500));
        const QString folder = path(QTest::currentDataTag());
        QVERIFY(QDir().mkpath(folder));
        auto tool = std::make_unique<OnlineVideoTool>(folder);
        // A title that would climb out of the folder, an id that would name
        // a thumbnail outside Cache/.
        m_server.serve("/page", watchPage("../clip", "../v1", m_server.url("/moved"),
                                          "22|" + m_server.url("/video")));
        QVERIFY(runToEnd(*tool, [&] { return tool->lookUp(m_server.url("/page")); }));
        const QString target = folder + "/clip.mp4";
        // An old file stays until a complete one replaces it (a cut transfer
        // that left anything at the name would replace it); the user's own
        // NAME.part is never the download's.
        QVERIFY(writeFile(target, "old"));
        QVERIFY(writeFile(target + ".part", "mine"));

        QSignalSpy pieces(tool.get(), &OnlineVideoTool::pieceWritten);
        QSignalSpy shown(tool.get(), &OnlineVideoTool::progressShown);
        QSignalSpy saved(tool.get(), &OnlineVideoTool::downloadSaved);
        QSignalSpy failed(tool.get(), &OnlineVideoTool::downloadFailed);
        QSignalSpy status(tool.get(), &OnlineVideoTool::statusTextChanged);
        QSignalSpy messages(tool.get(), &OnlineVideoTool::errorMessage);
        const QByteArray tag = QTest::currentDataTag();
        if (tag.startsWith("stalled")) {
            tool->setTransferTimeout(tag.endsWith("time-out") ? 300 : 60000);
            QVERIFY(tool->download(22) && pieces.wait(20000));
            // The transfer writes to a part file of its own.
            QCOMPARE(filesUnder(folder).filter(".cw-").size(), 1);
            if (tag.endsWith("cancel"))
                tool->cancel();
            if (tag.endsWith("closed"))
                tool.reset();
            else
                QTRY_VERIFY_WITH_TIMEOUT(!tool->isBusy(), 20000);
        } else {
            QVERIFY(runToEnd(*tool, [&] { return tool->download(22); }));
        }
        QTEST(firstArguments(pieces), "pieces");
        QTEST(lastText(shown), "shown");
        if (!shown.isEmpty()) // the bar: the percentage, or busy
            QCOMPARE(shown.last().at(1).toInt(),
                     lastText(shown).endsWith(" % ") ? lastText(shown).split(' ')[0].toInt() : -1);
        QCOMPARE(readFile(target + ".part"), "mine");
        QCOMPARE(filesUnder(folder), QStringList({"clip.mp4", "clip.mp4.part"}));
        QCOMPARE(lastText(failed) + (saved.isEmpty() ? "" : "saved"), result);
        QVERIFY(messages.isEmpty()); // a download's failure is no lookup's message
        if (result == "saved") {
            QCOMPARE(readFile(target), reply.status == 302 ? bytes(2500) : reply.body);
            QCOMPARE(lastText(status), "Saved " + target);
        } else {
            QCOMPARE(readFile(target), "old");
        }
    }

    void ytDlp()
    {
        if (YtDlpResolver::program().isEmpty())
            QSKIP("yt-dlp is not installed: the pages of today cannot be resolved");
        m_server.serve("/clip.mp4", bytes(2500));
        // A plain page with an HTML5 video, as yt-dlp's html5 extractor reads it.
        m_server.serve("/video.html",
                       QByteArray("<html><head><title>My clip</title></head><body><video "
                                  "src=\"clip.mp4\"></video></body></html>"));
        OnlineVideoTool tool(m_dir.path());
        QSignalSpy status(&tool, &OnlineVideoTool::statusTextChanged);
        QVERIFY(runToEnd(tool, [&] { return tool.lookUp(m_server.url("/video.html")); }));
        QCOMPARE(lastText(status), "Links from yt-dlp");
        // The download, named by the page's title, sends what yt-dlp asks for.
        QVERIFY(runToEnd(tool, [&] { return tool.download(22); }));
        QCOMPARE(readFile(path("My clip 1.mp4")), bytes(2500));
        const QByteArray head = m_server.head("/clip.mp4");
        QVERIFY2(head.contains("\r\nReferer: " + m_server.url("/video.html").toUtf8()) &&
                     !head.contains("User-Agent: Mozilla/5.0\r\n"),
                 head.constData());
    }
};

QTEST_GUILESS_MAIN(TestOnlineVideoTool)
#include "tst_OnlineVideoTool.moc"
