#include "online/YtDlpJson.h"

#include "online/HttpGet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <QUrl>
#include <algorithm>
#include <cctype>
#include <cmath>

namespace {

QString textOf(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isDouble() && std::isfinite(value.toDouble()))
        return QLocale::c().toString(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    return {};
}

QString dateText(const QString &yyyymmdd)
{
    static const QRegularExpression digits(QStringLiteral("\\A[0-9]{8}\\z"));
    if (!digits.match(yyyymmdd).hasMatch())
        return yyyymmdd;
    return yyyymmdd.left(4) + QLatin1Char('-') + yyyymmdd.mid(4, 2) + QLatin1Char('-') +
           yyyymmdd.mid(6);
}

QString secondsText(const QJsonValue &value)
{
    const double seconds = value.toDouble(-1);
    if (!value.isDouble() || !(seconds >= 0 && seconds < 1e12))
        return {};
    return QString::number(std::llround(seconds));
}

bool isToken(const QByteArray &name)
{
    static const QByteArray others("!#$%&'*+-.^_`|~");
    if (name.isEmpty())
        return false;
    for (const char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c)) && !others.contains(c))
            return false;
    }
    return true;
}

HttpHeaders headersOf(const QJsonValue &value)
{
    // Qt makes these itself; from elsewhere they would change the body.
    static const QList<QByteArray> managed{"host",       "content-length",  "transfer-encoding",
                                           "connection", "accept-encoding", "range"};
    HttpHeaders headers;
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QByteArray name = it.key().toLatin1();
        const QByteArray line = it.value().toString().toUtf8();
        // A name outside Latin-1 turns into "?", which is no token.
        if (!it.value().isString() || !isToken(name) || managed.contains(name.toLower()) ||
            line.contains('\r') || line.contains('\n') || line.contains('\0'))
            continue;
        headers.append({name, line});
    }
    return headers;
}

// Fetched with a plain GET: no playlist, no segments.
bool isDirect(const QJsonObject &format)
{
    const QUrl url(textOf(format.value(QLatin1String("url"))));
    if (!HttpGet::isWebAddress(url))
        return false;
    const QJsonValue protocol = format.value(QLatin1String("protocol"));
    return protocol.isUndefined() || protocol.isNull() || protocol == QLatin1String("http") ||
           protocol == QLatin1String("https");
}

bool hasSoundAndPicture(const QJsonObject &format)
{
    return format.value(QLatin1String("acodec")) != QLatin1String("none") &&
           format.value(QLatin1String("vcodec")) != QLatin1String("none");
}

ResolvedStream streamOf(int code, const QJsonObject &format)
{
    return {code, textOf(format.value(QLatin1String("url"))),
            headersOf(format.value(QLatin1String("http_headers")))};
}

} // namespace

std::optional<ResolvedVideo> ParseYtDlpJson(const QByteArray &json, QString *problem)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json, &error);
    if (!document.isObject()) {
        if (problem)
            *problem = error.error != QJsonParseError::NoError
                           ? QStringLiteral("yt-dlp gave no readable answer: ") +
                                 error.errorString() +
                                 QStringLiteral(" at byte %1").arg(error.offset)
                           : QStringLiteral("yt-dlp gave no readable answer: not a video");
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    const auto text = [&root](const char *key) { return textOf(root.value(QLatin1String(key))); };

    ResolvedVideo video;
    VideoPageInfo &info = video.info;
    info.Title = strippedTitle(text("title"));
    info.Author = text("uploader");
    info.VideoId = text("id");
    info.Published = dateText(text("upload_date"));
    info.Category = textOf(root.value(QLatin1String("categories")).toArray().at(0));
    info.Description = text("description");
    info.ThumbnailUrl = text("thumbnail");
    info.Duration = secondsText(root.value(QLatin1String("duration")));
    info.Rating = text("average_rating");

    // A video of a single format may come without the list.
    QJsonArray formats = root.value(QLatin1String("formats")).toArray();
    if (!root.contains(QLatin1String("formats")) && root.contains(QLatin1String("url")))
        formats.append(root);
    QVector<QJsonObject> direct;
    for (const QJsonValue &value : std::as_const(formats)) {
        if (value.isObject() && isDirect(value.toObject()))
            direct.append(value.toObject());
    }
    for (const int code : {22, 34, 35, 5}) {
        const QString id = QString::number(code);
        const auto found =
            std::find_if(direct.cbegin(), direct.cend(), [&id](const QJsonObject &f) {
                return textOf(f.value(QLatin1String("format_id"))) == id;
            });
        if (found != direct.cend()) {
            video.streams.append(streamOf(code, *found));
            continue;
        }
        if (code != 22)
            continue;
        const QJsonObject *best = nullptr;
        bool bestIsMp4 = false;
        for (const QJsonObject &format : std::as_const(direct)) {
            if (!hasSoundAndPicture(format))
                continue;
            const bool mp4 = format.value(QLatin1String("ext")) == QLatin1String("mp4");
            if (mp4 || !bestIsMp4) {
                best = &format;
                bestIsMp4 = mp4;
            }
        }
        if (best)
            video.streams.append(streamOf(22, *best));
    }
    return video;
}
