#pragma once

#include <QString>
#include <QUrl>

// A watch page in the layout the scraper reads, with the given facts and
// stream map ("CODE|LINK,..." before the page's own encoding).
inline QByteArray watchPage(const QString &title, const QString &videoId,
                            const QString &thumbnailUrl, const QString &map,
                            const QString &description = "A clip")
{
    const auto encode = [](const QString &text) { return QString(QUrl::toPercentEncoding(text)); };
    return ("<html><script>var c = {'VIDEO_ID': '" + videoId + "', 'VIDEO_TITLE': '" + title +
            "', 'fmt_map': ''};\nvar m = {\"fmt_url_map\": \"" + encode(map) +
            "\", \"rv.2.thumbnailUrl\": \"" + encode(thumbnailUrl) +
            "\", \"length_seconds\": \"42\", \"x\": 1};</script>\n"
            "<a data-discoverbox-username=\"uploader\" >uploader</a>\n"
            "<span class=\"watch-video-added post-date\">Jan 2, 2010</span>\n"
            "<a onclick=\"VideoCategoryLink');\">Film</a>\n"
            "<div class=\"watch-video-desc description\"><span >" +
            description +
            "</span></div>\n"
            "<button class=\"master-sprite ratingL ratingL-4.5\" title=\"r\"></button></html>\n")
        .toUtf8();
}
