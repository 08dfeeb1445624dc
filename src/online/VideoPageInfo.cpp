#include "online/VideoPageInfo.h"

#include "online/PageText.h"

#include <optional>

namespace {

QString decodedOrKept(const QString &text)
{
    return URLDecode(text).value_or(text);
}

// The character a reference such as "amp", "#233" or "#xE9" stands for;
// nothing for a name this page text does not use or a code that is no
// character.
std::optional<QString> referenced(QStringView name)
{
    static const std::pair<const char *, char16_t> named[] = {
        {"amp", u'&'}, {"lt", u'<'}, {"gt", u'>'}, {"quot", u'"'}, {"apos", u'\''}};
    for (const auto &[text, character] : named)
        if (name == QLatin1String(text))
            return QString(QChar(character));
    if (!name.startsWith(u'#') || name.size() < 2 || name.size() > 8)
        return std::nullopt;
    const bool hex = name[1] == u'x' || name[1] == u'X';
    bool ok = false;
    const uint code = name.mid(hex ? 2 : 1).toUInt(&ok, hex ? 16 : 10);
    if (!ok || code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return std::nullopt;
    const char32_t wide = code;
    return QString::fromUcs4(&wide, 1);
}

// The longest reference referenced() understands, "&#x10FFFF;", counted
// from its "&" up to and with its ";".
constexpr qsizetype LongestReference = 10;

// Page text as it reads: "Travel &amp; Events" is "Travel & Events".
// References that are not understood stay as they are. The ";" is looked
// for only as far as the longest reference reaches, so that a text of many
// "&" is read in one pass.
QString htmlText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    for (qsizetype amp = text.indexOf(u'&'); amp >= 0; amp = text.indexOf(u'&', from)) {
        const QStringView reach = QStringView(text).mid(amp + 1, LongestReference - 1);
        const qsizetype found = reach.indexOf(u';');
        const qsizetype semicolon = found < 0 ? -1 : amp + 1 + found;
        const auto character =
            semicolon < 0 ? std::nullopt
                          : referenced(QStringView(text).mid(amp + 1, semicolon - amp - 1));
        out += QStringView(text).mid(from, amp - from);
        if (character) {
            out += *character;
            from = semicolon + 1;
        } else {
            out += u'&';
            from = amp + 1;
        }
    }
    out += QStringView(text).mid(from);
    return out;
}

} // namespace

QVector<std::pair<QString, QString>> VideoPageInfo::namedFields() const
{
    return {{QStringLiteral("Title"), Title},
            {QStringLiteral("Author"), Author},
            {QStringLiteral("VideoId"), VideoId},
            {QStringLiteral("Published"), Published},
            {QStringLiteral("Category"), Category},
            {QStringLiteral("Description"), Description},
            {QStringLiteral("ThumbnailUrl"), ThumbnailUrl},
            {QStringLiteral("Duration"), Duration},
            {QStringLiteral("Rating"), Rating}};
}

QString strippedTitle(QString title)
{
    for (const QChar c : {u'/', u'\\', u'\'', u':', u'(', u')'})
        title.remove(c);
    return title;
}

VideoPageInfo ParsePageInfo(const QString &page)
{
    const auto cut = [&page](const char *start, const char *end) {
        return TextBetween(page, QString::fromLatin1(start), QString::fromLatin1(end));
    };
    VideoPageInfo info;
    info.Title = strippedTitle(cut("VIDEO_TITLE': '", "',"));
    info.Author = htmlText(cut("data-discoverbox-username=\"", "\" >"));
    info.VideoId = cut("'VIDEO_ID': '", "'");
    info.Published = htmlText(cut("watch-video-added post-date\">", "</span>"));
    info.Category = htmlText(cut("VideoCategoryLink');\">", "</a>"));
    // The block starts with markup up to its "<span >"; without one, its
    // first six characters go all the same.
    const QString description = cut("watch-video-desc description\">", "</span>");
    const qsizetype span = description.indexOf(QLatin1String("<span >"));
    info.Description = htmlText(description.mid(span + 7));
    info.ThumbnailUrl = decodedOrKept(cut("rv.2.thumbnailUrl\": \"", "\","));
    info.Duration = decodedOrKept(cut("length_seconds\": \"", "\","));
    info.Rating = decodedOrKept(cut("master-sprite ratingL ratingL-", "\""));
    return info;
}
