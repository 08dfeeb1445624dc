#pragma once

#include <QString>
#include <QtGlobal>

// What a running recording has done so far.
struct CaptureStatistics
{
    qint64 framesCaptured = 0;
    qint64 framesDropped = 0;
    qint64 elapsedMs = 0;
};

// The capture counter: "250 frames (0 dropped) - 10.00 sec.". The seconds
// have two decimals, the locale's decimal separator and no group separator.
QString captureCounterText(const CaptureStatistics &statistics);
