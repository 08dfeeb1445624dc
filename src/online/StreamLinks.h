#pragma once

#include "online/HttpGet.h"

#include <QHash>
#include <QString>
#include <QVector>
#include <optional>

// One format a watch page can offer a stream in.
struct StreamFormat
{
    int code;            // the page's format code
    const char *caption; // of its button
    const char *suffix;  // appended to the title to name the downloaded file
};

// The four formats, in button order: 22 "Get MP4", 34 "Get HD Low",
// 35 "Get HD High", 5 "Get FLV".
const QVector<StreamFormat> &streamFormats();
// The format of `code`; nullptr for a code the tool does not offer.
const StreamFormat *findStreamFormat(int code);

// The direct stream links found by lookups, one slot per format. A lookup
// only fills and enables slots; it never empties or disables one, so a slot
// keeps an earlier page's link when a later page lacks that format.
struct StreamLinks
{
    // A page's links are still percent-encoded and decoded when used;
    // yt-dlp's are stored as they are to be used.
    QString LinkMp4;    // 22
    QString LinkHdLow;  // 34
    QString LinkHdHigh; // 35
    QString LinkFlv;    // 5

    QString link(int code) const;
    // True once a lookup has found the format (its button is enabled).
    bool isEnabled(int code) const { return m_enabled.contains(code); }
    // A page's link, percent-encoded.
    void store(int code, const QString &link);
    // yt-dlp's link, to be used as it is, with the request headers it needs.
    void storeDecoded(int code, const QString &link, const HttpHeaders &headers);

    // The link to open: a page's decoded, yt-dlp's as stored. Empty when
    // the slot is not enabled, or its escapes are broken.
    std::optional<QString> usableLink(int code) const;
    // The request headers a download of the slot's link sends.
    HttpHeaders headers(int code) const { return m_headers.value(code); }

private:
    QString *slot(int code);

    QVector<int> m_enabled;
    QVector<int> m_decoded;
    QHash<int, HttpHeaders> m_headers;
};

// Reads the page's "fmt_url_map" into `links`: each ","-separated piece is
// CODE|LINK. A piece without "|" or with a code that is not a number ends the
// reading there; the pieces before it count. A map whose escapes are broken
// changes nothing. Returns how many links of the four formats were stored.
int GetURLs(const QString &page, StreamLinks &links);
