#include "../TestSupport.h"
#include "WatchPage.h"
#include "online/OnlineNames.h"
#include "online/PageText.h"
#include "online/StreamLinks.h"
#include "online/VideoPageInfo.h"
#include "online/YtDlpJson.h"

using Slots = QStringList; // LinkMp4, LinkHdLow, LinkHdHigh, LinkFlv; "-" for a disabled one

namespace {

Slots slotsOf(const StreamLinks &links)
{
    Slots s;
    for (const StreamFormat &f : streamFormats())
        s << (links.isEnabled(f.code) ? links.link(f.code) : "-");
    return s;
}

// JSON written with ' for ", to keep it readable here.
QByteArray json(const char *text)
{
    return QByteArray(text).replace('\'', '"');
}

} // namespace

class TestPageScraper : public QObject
{
    Q_OBJECT

private slots:
    void urlDecode_data()
    {
        addColumns<QString, QString>("text", "decoded");
        newRow("escape, plus, escape ending the text", "a%20b+c%41", "a b cA");
        newRow("one digit left: percent dropped", "a%4", "a4");
        newRow("UTF-8 bytes beside text kept as it is", "caf%C3%A9 ✓ 😀", "café ✓ 😀");
        newRow("non-hex escape fails", "a%4gb", "(fails)");
        newRow("longer than 32767", QString(40000, 'x') + "%41", QString(40000, 'x') + "A");
    }
    void urlDecode()
    {
        QFETCH(QString, text);
        QTEST(URLDecode(text).value_or("(fails)"), "decoded");
    }

    void parsePageInfo_data()
    {
        // facts: title, uploader, id, date, category, description, thumbnail,
        // length and rating, "|"-separated
        addColumns<QString, QString>("page", "facts");
        const QString page = watchPage("a/b\\c'd:e(f)g", "abc_-9", "http://host/default.jpg", "",
                                       "Line one\nline two");
        const QString facts = "abcdefg|uploader|abc_-9|Jan 2, 2010|Film|Line one\nline two|"
                              "http://host/default.jpg|42|4.5";
        newRow("all fields", page, facts);
        newRow("description without <span >", QString(page).replace("<span >", "123456"), facts);
        newRow("broken escape kept undecoded", QString(page).replace("http%3A", "http%3G"),
               QString(facts).replace("http://host/", "http%3G%2F%2Fhost%2F"));
        newRow("missing start marker", QString(page).replace("VIDEO_TITLE", "TITLE"),
               QString(facts).remove("abcdefg"));
        newRow("missing end marker", page.left(page.indexOf("4.5\"") + 3),
               QString(facts).remove("4.5"));
        // A reference reaches ten characters at most, "&#x10FFFF;".
        newRow("character references",
               QString(page)
                   .replace(">Film<", ">Travel &amp; Events<")
                   .replace("Line one\nline two", "&lt;b&gt; &#233;t&#xE9; &quot;q&quot; "
                                                  "&#39;s&apos; &nbsp; & &#0; &#xD800; "
                                                  "&#x110000; &; &#x10FFFF; &#0000233; "
                                                  "&#00000233; &#x10FFFF"),
               QString(facts)
                   .replace("Film", "Travel & Events")
                   .replace("Line one\nline two",
                            "<b> \u00e9t\u00e9 \"q\" 's' &nbsp; & &#0; &#xD800; &#x110000; &; "
                            "\U0010FFFF \u00e9 &#00000233; &#x10FFFF"));
        newRow("empty page", "", "||||||||");
    }
    void parsePageInfo()
    {
        QFETCH(QString, page);
        QStringList values;
        for (const auto &[name, value] : ParsePageInfo(page).namedFields())
            values << value;
        QTEST(values.join('|'), "facts");
    }

    // A description of "&" over and over: twice as long takes about twice
    // as long to read.
    void parseTime()
    {
        const QString pages[2] = {watchPage("t", "i", "", "", QString(256 << 10, '&')),
                                  watchPage("t", "i", "", "", QString(512 << 10, '&'))};
        // The process's CPU time (it runs no other thread), the fastest of
        // five rounds: other load only adds time.
        std::clock_t fastest[2] = {LONG_MAX, LONG_MAX};
        for (int round = 0; round < 5; ++round) {
            for (int i = 0; i < 2; ++i) {
                const std::clock_t start = std::clock();
                QCOMPARE(ParsePageInfo(pages[i]).Rating, "4.5");
                fastest[i] = qMin(fastest[i], std::clock() - start);
            }
        }
        const double ratio = double(fastest[1]) / fastest[0];
        QVERIFY2(ratio <= 3, qPrintable(QString("512 KB took %1 times as long").arg(ratio)));
    }

    void getUrls_data()
    {
        // The fmt_url_map of each page looked up in turn.
        addColumns<QStringList, Slots>("maps", "slots");
        newRow("all four codes, others ignored", QStringList{"18|x,22|u1,34|u2,35|u3,5|u4"},
               Slots{"u1", "u2", "u3", "u4"});
        newRow("map is decoded once", QStringList{"22%7Chttp%253A%2F%2Fh%2Fv%2C5%7Cf"},
               Slots{"http%3A//h/v", "-", "-", "f"});
        newRow("piece without | stops", QStringList{"22|a,abc,5|b"}, Slots{"a", "-", "-", "-"});
        newRow("code beyond 16 bits stops", QStringList{"5|a,99999|b,22|c"},
               Slots{"-", "-", "-", "a"});
        newRow("broken escape: nothing", QStringList{"22|a%zz"}, Slots{"-", "-", "-", "-"});
        newRow("second lookup keeps the first's buttons",
               QStringList{"22|old22,34|old34", "34|new34,5|new5", QString()},
               Slots{"old22", "new34", "-", "new5"});
        newRow("empty link enables its button", QStringList{"35|"}, Slots{"-", "-", "", "-"});
    }
    void getUrls()
    {
        QFETCH(QStringList, maps);
        StreamLinks links;
        for (const QString &map : maps)
            GetURLs("<script>var x = {\"fmt_url_map\": \"" + map +
                        "\", \"other\": \"1\"};</script>",
                    links);
        QTEST(slotsOf(links), "slots");
    }

    void ytDlpJson_data()
    {
        // fields: the nine facts, empty when the answer is refused; headers:
        // those of the MP4 slot's link, "|"-separated
        addColumns<QByteArray, QStringList, Slots, QString>("json", "fields", "slots", "headers");
        const QStringList noFacts(9, ""), moreFacts(8, "");
        const Slots noSlots{"-", "-", "-", "-"};
        newRow(
            "every fact, every code; links kept as they are; headers that are safe",
            json("{'title': 'a/b:c (1)', 'uploader': 'U', 'id': 'x_1', 'upload_date': '20240131',"
                 " 'categories': ['Film', 'Music'], 'description': 'D\\nE',"
                 " 'thumbnail': 'https://h/t.webp', 'duration': 42.6, 'average_rating': 4.5,"
                 " 'formats': ["
                 "{'format_id': '5', 'url': 'http://h/5?a=%2C+b', 'acodec': 'none'},"
                 "{'format_id': '22', 'url': 'https://h/22', 'protocol': 'https', 'http_headers':"
                 " {'User-Agent': 'UA', 'Referer': 'http://h/page.html', 'Accept-Encoding': 'gzip',"
                 " 'Range': 'bytes=0-', 'Bad Name': 'x', 'X-Split': 'a\\r\\nHost: evil',"
                 " 'X-Number': 5}},"
                 "{'format_id': '34', 'url': 'http://h/34'},"
                 "{'format_id': '35', 'url': 'http://h/35'}]}"),
            QStringList{"abc 1", "U", "x_1", "2024-01-31", "Film", "D\nE", "https://h/t.webp", "43",
                        "4.5"},
            Slots{"https://h/22", "http://h/34", "http://h/35", "http://h/5?a=%2C+b"},
            "Referer: http://h/page.html|User-Agent: UA");
        const QByteArray formats =
            json("{'formats': [{'format_id': '18', 'url': 'http://h/18', 'ext': 'mp4',"
                 " 'vcodec': null},"
                 "{'format_id': '137', 'url': 'http://h/137', 'ext': 'mp4', 'acodec': 'none'},"
                 "{'format_id': '140', 'url': 'http://h/140', 'ext': 'm4a', 'vcodec': 'none'},"
                 "{'format_id': '43', 'url': 'http://h/43', 'ext': 'webm'},"
                 "{'format_id': '22', 'url': 'http://h/22.m3u8', 'protocol': 'm3u8_native'},"
                 "{'format_id': 'hls', 'url': 'http://h/x.m3u8', 'ext': 'mp4',"
                 " 'protocol': 'm3u8_native'},"
                 "{'format_id': '34', 'url': 'file:///etc/passwd', 'protocol': 'http'}]}");
        newRow("no plain 22: the best mp4 with sound and picture", formats, noFacts,
               Slots{"http://h/18", "-", "-", "-"}, "");
        newRow("no mp4: the best with sound and picture",
               QByteArray(formats).replace(json("'ext': 'mp4',"), json("'ext': 'flv',")), noFacts,
               Slots{"http://h/43", "-", "-", "-"}, "");
        newRow("one format without a list",
               json("{'title': 't', 'url': 'http://h/v', 'ext': 'mp4', 'format_id': '0'}"),
               QStringList{"t"} + moreFacts, Slots{"http://h/v", "-", "-", "-"}, "");
        newRow("wrong types",
               json("{'title': 5, 'categories': 'Film', 'duration': 'long', 'formats': {},"
                    " 'average_rating': null}"),
               QStringList{"5"} + moreFacts, noSlots, "");
        newRow("not JSON", json("this is not json"), QStringList(), noSlots, "");
        newRow("a JSON list", json("[1, 2]"), QStringList(), noSlots, "");
    }
    void ytDlpJson()
    {
        QFETCH(QByteArray, json);
        QFETCH(QStringList, fields);
        QString problem;
        const std::optional<ResolvedVideo> video = ParseYtDlpJson(json, &problem);
        QCOMPARE(video.has_value(), !fields.isEmpty());
        StreamLinks links;
        QStringList values, headers;
        if (video) {
            for (const auto &[name, value] : video->info.namedFields())
                values << value;
            for (const ResolvedStream &stream : video->streams)
                links.storeDecoded(stream.code, stream.url, stream.headers);
            for (const auto &[name, value] : links.headers(22))
                headers << name + ": " + value;
        }
        QCOMPARE(problem.startsWith("yt-dlp gave no readable answer: "), !video);
        QCOMPARE(values, fields);
        QTEST(slotsOf(links), "slots");
        Slots usable; // never percent-decoded
        for (const StreamFormat &f : streamFormats())
            usable << links.usableLink(f.code).value_or("-");
        QCOMPARE(usable, slotsOf(links));
        QTEST(headers.join('|'), "headers");
    }

    void fileNames_data()
    {
        addColumns<QString, int, QString>("title", "code", "name");
        newRow("unknown code", "My clip", 18, "");
        newRow("slashes and controls go", QString("a/b\tc\nd\x01") + QChar(0) + "e", 22,
               "abcde.mp4");
        newRow("leading dots and dashes go", "..-.-x.y", 22, "x.y.mp4");
        newRow("only dots", "..", 5, "video.flv");
        newRow("cut to 200 bytes", QString(250, 'a'), 22, QString(200, 'a') + ".mp4");
        // 66 three-byte characters are 198 bytes; the 67th would pass 200.
        newRow("cut at a character", "ab" + QString(70, u'€'), 22,
               "ab" + QString(66, u'€') + ".mp4");
        newRow("cut before a surrogate pair", QString(199, 'a') + "😀", 22,
               QString(199, 'a') + ".mp4");
    }
    void fileNames()
    {
        QFETCH(QString, title);
        QFETCH(int, code);
        QTEST(downloadFileName(title, code), "name");
    }

    void videoIds_data()
    {
        addColumns<QString, bool>("id", "safe");
        newRow("64 letters, digits, dashes and underscores", "dQw4-_9" + QString(57, 'a'), true);
        newRow("65 characters", "dQw4-_9" + QString(58, 'a'), false);
        newRow("empty", "", false);
        newRow("parent folder", "../../x", false);
        newRow("newline at the end", "abc\n", false);
        newRow("non-ASCII letter", "abé", false);
    }
    void videoIds()
    {
        QFETCH(QString, id);
        QFETCH(bool, safe);
        QCOMPARE(isSafeVideoId(id), safe);
        QCOMPARE(thumbnailPath("/w", id), safe ? "/w/Cache/" + id + ".jpg" : QString());
    }
};

QTEST_GUILESS_MAIN(TestPageScraper)
#include "tst_PageScraper.moc"
