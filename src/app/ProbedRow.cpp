#include "app/ProbedRow.h"

#include "app/ConversionList.h"
#include "app/TimeText.h"

#include <cmath>

bool fillProbedRow(ConversionList &list, int position, const MediaFacts &facts)
{
    using Field = ConversionList::Field;
    if (!list.row(position))
        return false;
    if (facts.VideoFormat)
        (void)list.setField(position, Field::Format, *facts.VideoFormat);
    if (facts.LengthSeconds && std::isfinite(*facts.LengthSeconds)) {
        const QString length = formatTimeText(std::llround(*facts.LengthSeconds));
        (void)list.setField(position, Field::End, length);
        (void)list.setField(position, Field::VideoTime, length);
    }
    (void)list.setField(position, Field::Start, QStringLiteral("0:00:00"));
    (void)list.setField(position, Field::Size,
                        QStringLiteral("%1x%2").arg(facts.Width).arg(facts.Height));
    return true;
}
