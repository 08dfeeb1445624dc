#include "online/VideoPageInfo.h"

#include "online/PageText.h"

namespace {

QString decodedOrKept(const QString &text)
{
    return URLDecode(text).value_or(text);
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
    info.Author = cut("data-discoverbox-username=\"", "\" >");
    info.VideoId = cut("'VIDEO_ID': '", "'");
    info.Published = cut("watch-video-added post-date\">", "</span>");
    info.Category = cut("VideoCategoryLink');\">", "</a>");
    // The block starts with markup up to its "<span >"; without one, its
    // first six characters go all the same.
    const QString description = cut("watch-video-desc description\">", "</span>");
    const qsizetype span = description.indexOf(QLatin1String("<span >"));
    info.Description = description.mid(span + 7);
    info.ThumbnailUrl = decodedOrKept(cut("rv.2.thumbnailUrl\": \"", "\","));
    info.Duration = decodedOrKept(cut("length_seconds\": \"", "\","));
    info.Rating = decodedOrKept(cut("master-sprite ratingL ratingL-", "\""));
    return info;
}
