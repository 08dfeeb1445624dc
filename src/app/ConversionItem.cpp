#include "app/ConversionItem.h"

const QString &ConversionItem::field(Field f) const
{
    switch (f) {
    case Field::FileName:
        return FileName;
    case Field::Start:
        return Start;
    case Field::End:
        return End;
    case Field::Size:
        return Size;
    case Field::Format:
        return Format;
    case Field::Status:
        return Status;
    case Field::VideoTime:
        return VideoTime;
    case Field::Watermark:
        break;
    }
    return Watermark;
}

QString &ConversionItem::field(Field f)
{
    return const_cast<QString &>(static_cast<const ConversionItem *>(this)->field(f));
}

QString ConversionItem::header(Field f)
{
    static const char *const headers[FieldCount] = {
        "File Name", "Start", "End", "Size", "Format", "Status", "Video Time", "Watermark",
    };
    return QString::fromLatin1(headers[static_cast<int>(f)]);
}
