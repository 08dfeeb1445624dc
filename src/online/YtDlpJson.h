#pragma once

#include "online/HttpGet.h"
#include "online/VideoPageInfo.h"

#include <QByteArray>
#include <QString>
#include <QVector>
#include <optional>

// One stream yt-dlp offers, for the slot of a format code.
struct ResolvedStream
{
    int code;
    QString url; // to be opened as it is: never percent-decoded
    HttpHeaders headers;
};

// What yt-dlp says about a video: its facts and the streams for the slots.
struct ResolvedVideo
{
    VideoPageInfo info;
    QVector<ResolvedStream> streams; // in slot order: 22, 34, 35, 5
};

// Reads the output of `yt-dlp -J`. The facts come from title (stripped as a
// page's title is), uploader, id, upload_date (as YYYY-MM-DD), the first of
// categories, description, thumbnail, duration (whole seconds) and
// average_rating.
//
// Only formats fetched with a plain GET count: protocol http or https and an
// http or https url. Formats 22, 34, 35 and 5 fill their slots by
// format_id. Without a 22 the MP4 slot takes the best format with sound and
// picture (acodec and vcodec not "none"; a missing or null one is unknown
// and passes), an mp4 before any other; yt-dlp lists formats worst first.
// Header lines that are not well formed, or that would change what comes
// back (Host, Range, Accept-Encoding, ...), are left out.
//
// nullopt when the output is not a JSON object, with the reason in `problem`.
std::optional<ResolvedVideo> ParseYtDlpJson(const QByteArray &json, QString *problem = nullptr);
