#include "online/StreamLinks.h"

#include "online/PageText.h"

const QVector<StreamFormat> &streamFormats()
{
    static const QVector<StreamFormat> formats{{22, "Get MP4", ".mp4"},
                                               {34, "Get HD Low", "_Full_HD.flv"},
                                               {35, "Get HD High", "_HD.flv"},
                                               {5, "Get FLV", ".flv"}};
    return formats;
}

const StreamFormat *findStreamFormat(int code)
{
    for (const StreamFormat &format : streamFormats()) {
        if (format.code == code)
            return &format;
    }
    return nullptr;
}

QString StreamLinks::link(int code) const
{
    switch (code) {
    case 22:
        return LinkMp4;
    case 34:
        return LinkHdLow;
    case 35:
        return LinkHdHigh;
    case 5:
        return LinkFlv;
    default:
        return {};
    }
}

QString *StreamLinks::slot(int code)
{
    return code == 22   ? &LinkMp4
           : code == 34 ? &LinkHdLow
           : code == 35 ? &LinkHdHigh
           : code == 5  ? &LinkFlv
                        : nullptr;
}

void StreamLinks::store(int code, const QString &link)
{
    QString *target = slot(code);
    if (!target)
        return;
    *target = link;
    m_decoded.removeAll(code);
    m_headers.remove(code);
    if (!m_enabled.contains(code))
        m_enabled.append(code);
}

void StreamLinks::storeDecoded(int code, const QString &link, const HttpHeaders &headers)
{
    store(code, link);
    if (!slot(code))
        return;
    m_decoded.append(code);
    m_headers.insert(code, headers);
}

std::optional<QString> StreamLinks::usableLink(int code) const
{
    if (!isEnabled(code))
        return std::nullopt;
    // A decoded link may hold "%" and "+" that are its own.
    return m_decoded.contains(code) ? link(code) : URLDecode(link(code));
}

int GetURLs(const QString &page, StreamLinks &links)
{
    const std::optional<QString> map =
        URLDecode(RegexFirstGroup(page, QStringLiteral("\"fmt_url_map\": \"([^\"]+)")));
    if (!map || map->isEmpty())
        return 0;
    int stored = 0;
    for (const QString &piece : map->split(QLatin1Char(','))) {
        const qsizetype bar = piece.indexOf(QLatin1Char('|'));
        bool isNumber = false;
        const short code = bar < 0 ? 0 : piece.left(bar).trimmed().toShort(&isNumber);
        if (!isNumber)
            break;
        if (findStreamFormat(code)) {
            links.store(code, piece.mid(bar + 1));
            ++stored;
        }
    }
    return stored;
}
