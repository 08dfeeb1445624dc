#pragma once

#include <QString>
#include <QVector>

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
    // Still percent-encoded: they are decoded when used.
    QString LinkMp4;    // 22
    QString LinkHdLow;  // 34
    QString LinkHdHigh; // 35
    QString LinkFlv;    // 5

    QString link(int code) const;
    // True once a lookup has found the format (its button is enabled).
    bool isEnabled(int code) const { return m_enabled.contains(code); }
    void store(int code, const QString &link);

private:
    QVector<int> m_enabled;
};

// Reads the page's "fmt_url_map" into `links`: each ","-separated piece is
// CODE|LINK. A piece without "|" or with a code that is not a number ends the
// reading there; the pieces before it count. A map whose escapes are broken
// changes nothing.
void GetURLs(const QString &page, StreamLinks &links);
