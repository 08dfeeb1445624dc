#include "widgets/SystemColor.h"

namespace {

QPalette::ColorRole roleOf(quint32 index)
{
    switch (index) {
    case 5: // window
        return QPalette::Base;
    case 8: // window text
        return QPalette::Text;
    case 14: // highlight text
        return QPalette::HighlightedText;
    case 15: // button face
        return QPalette::Button;
    case 16: // button shadow
        return QPalette::Dark;
    case 18: // button text
        return QPalette::ButtonText;
    case 20: // button highlight
        return QPalette::Light;
    case 21: // 3-D dark shadow
        return QPalette::Shadow;
    case 22: // 3-D light
        return QPalette::Midlight;
    default: // highlight (13), active caption (2) and the rest
        return QPalette::Highlight;
    }
}

} // namespace

QColor systemColor(quint32 oleColor, const QPalette &palette)
{
    if (oleColor & 0x80000000u)
        return palette.color(roleOf(oleColor & 0xFFu));
    return QColor(int(oleColor & 0xFF), int((oleColor >> 8) & 0xFF), int((oleColor >> 16) & 0xFF));
}
