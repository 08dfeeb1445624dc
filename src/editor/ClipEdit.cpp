#include "editor/ClipEdit.h"

#include "app/ConversionItem.h"
#include "app/WatermarkText.h"
#include "process/TimeText.h"

EditorInputs EditorInputs::fromRow(const ConversionItem &row)
{
    EditorInputs inputs{row.FileName, row.Start, row.End, row.VideoTime, {}, {}};
    if (!row.Watermark.trimmed().isEmpty()) {
        const WatermarkText watermark = WatermarkText::parse(row.Watermark.trimmed());
        inputs.WatermarkImage = watermark.picturePath;
        inputs.WatermarkPlace = watermark.placement;
    }
    return inputs;
}

const QStringList &placementNames()
{
    static const QStringList names = {
        QStringLiteral("Top left corner"), QStringLiteral("Top right corner"),
        QStringLiteral("Bottom left corner"), QStringLiteral("Bottom right corner"),
        QStringLiteral("Center")};
    return names;
}

QString clipLengthText(const QString &start, const QString &end)
{
    const std::optional<qint64> from = parseTimeText(start);
    const std::optional<qint64> to = parseTimeText(end);
    if (!from || !to)
        return {};
    return formatTimeText(qAbs(*to - *from));
}

EditorOutcome confirmEditor(const QString &startText, const QString &endText, bool enabled,
                            const QString &watermarkImage, const QString &placement)
{
    EditorOutcome outcome;
    if (!(startText < endText)) {
        outcome.refusal = QStringLiteral("Start time or End time is error.");
        return outcome;
    }
    outcome.Start = startText;
    outcome.End = endText;
    if (enabled && !watermarkImage.isEmpty()) {
        if (!WatermarkText::canHold(watermarkImage)) {
            outcome.refusal =
                QStringLiteral("The picture path must not contain \";\": ") + watermarkImage;
            return outcome;
        }
        const QString place = placement.trimmed();
        if (!placementNames().contains(place)) {
            outcome.refusal = QStringLiteral("Choose one of the five places.");
            return outcome;
        }
        outcome.Watermark = WatermarkText{watermarkImage, place}.format();
    }
    return outcome;
}
