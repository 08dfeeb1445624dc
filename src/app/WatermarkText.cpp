#include "app/WatermarkText.h"

#include <QStringList>

WatermarkText WatermarkText::parse(const QString &text)
{
    const QStringList fields = text.split(QLatin1Char(';'));
    WatermarkText result;
    result.picturePath = fields.value(1);
    result.placement = fields.value(3);
    return result;
}

bool WatermarkText::canHold(const QString &picturePath)
{
    return !picturePath.contains(QLatin1Char(';'));
}

QString WatermarkText::format() const
{
    return QStringLiteral("image;") + picturePath + QStringLiteral(";area;") + placement;
}
