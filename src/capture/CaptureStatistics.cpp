#include "capture/CaptureStatistics.h"

#include <QLocale>

QString captureCounterText(const CaptureStatistics &statistics)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return QStringLiteral("%1 frames (%2 dropped) - %3 sec.")
        .arg(statistics.framesCaptured)
        .arg(statistics.framesDropped)
        .arg(locale.toString(double(statistics.elapsedMs) / 1000.0, 'f', 2));
}
