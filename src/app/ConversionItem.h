#pragma once

#include <QString>
#include <QStringList>

// One row of the file list: a source video, its probed facts, its clip range,
// its watermark and its conversion status. All fields are text; beside them
// the row keeps which of them the user chose.
struct ConversionItem
{
    enum class Field
    {
        FileName,
        Start,
        End,
        Size,
        Format,
        Status,
        VideoTime,
        Watermark
    };
    static constexpr int FieldCount = 8;

    QString FileName;
    QString Start;
    QString End;
    QString Size;
    QString Format;
    QString Status;
    QString VideoTime;
    QString Watermark;

    // The fields the user set (Start, End, Watermark), one bit per field.
    // ConversionList::setChosen sets them, and its setProbed leaves them be.
    unsigned chosenFields = 0;
    bool isChosen(Field f) const { return chosenFields & (1u << static_cast<int>(f)); }

    const QString &field(Field f) const;
    QString &field(Field f);

    // The fixed column caption of a field ("File Name", "Video Time", ...).
    static QString header(Field f);
};
