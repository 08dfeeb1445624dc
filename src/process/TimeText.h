#pragma once

#include <QString>
#include <optional>

// Time texts as rows carry them: H:MM:SS, hours not padded and not wrapped
// at 24 (25 hours is "25:00:00").
QString formatTimeText(qint64 seconds);
// Seconds as hours*3600 + minutes*60 + seconds; nullopt for anything that is
// not three ":"-separated whole numbers with minutes and seconds below 60.
std::optional<qint64> parseTimeText(const QString &text);
