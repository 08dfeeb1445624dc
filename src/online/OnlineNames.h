#pragma once

#include <QString>

// File names made from what a watch page says. The page is not trusted: no
// name made here can hold a folder separator, start with "." or "-", or be
// longer than a file system allows.

// True when `videoId` may name the thumbnail file: 1 to 64 of A-Z, a-z,
// 0-9, "_" and "-".
bool isSafeVideoId(const QString &videoId);

// `title` made fit to start a file name: without NUL, control characters
// and "/", without leading "." and "-", cut to 200 bytes of UTF-8 at a
// character boundary; "video" when nothing is left.
QString safeFileTitle(const QString &title);

// The name a download of format `code` is saved under: the safe title and
// the format's suffix ("clip.mp4", "clip_Full_HD.flv"). Empty for a code the
// tool does not offer.
QString downloadFileName(const QString &title, int code);

// Cache/VIDEOID.jpg under `writableFolder`; empty when the id is not safe.
QString thumbnailPath(const QString &writableFolder, const QString &videoId);
