#pragma once

#include <QString>
#include <QVector>
#include <utility>

// The facts a watch page shows about its video, all text, cut out of the
// page with fixed markers.
struct VideoPageInfo
{
    QString Title; // without "/", "\", "'", ":", "(" and ")"
    QString Author;
    QString VideoId;
    QString Published;
    QString Category;
    QString Description;
    QString ThumbnailUrl; // decoded
    QString Duration;     // seconds, decoded
    QString Rating;       // decoded

    // The nine fields in page order, each with its name ("Title", ...).
    QVector<std::pair<QString, QString>> namedFields() const;
};

// `title` without "/", "\", "'", ":", "(" and ")", as Title keeps it.
QString strippedTitle(QString title);

// Cuts every field out of `page`. A field whose percent escapes are broken
// keeps its text undecoded.
VideoPageInfo ParsePageInfo(const QString &page);
