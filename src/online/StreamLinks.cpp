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

void StreamLinks::store(int code, const QString &link)
{
    QString *slot = code == 22   ? &LinkMp4
                    : code == 34 ? &LinkHdLow
                    : code == 35 ? &LinkHdHigh
                    : code == 5  ? &LinkFlv
                                 : nullptr;
    if (!slot)
        return;
    *slot = link;
    if (!m_enabled.contains(code))
        m_enabled.append(code);
}

void GetURLs(const QString &page, StreamLinks &links)
{
    const std::optional<QString> map =
        URLDecode(RegexFirstGroup(page, QStringLiteral("\"fmt_url_map\": \"([^\"]+)")));
    if (!map || map->isEmpty())
        return;
    for (const QString &piece : map->split(QLatin1Char(','))) {
        const qsizetype bar = piece.indexOf(QLatin1Char('|'));
        bool isNumber = false;
        const short code = bar < 0 ? 0 : piece.left(bar).trimmed().toShort(&isNumber);
        if (!isNumber)
            return;
        links.store(code, piece.mid(bar + 1));
    }
}
