#pragma once

#include <QString>
#include <QStringList>

struct ConversionItem;

// What the clip and watermark editor edits: one row's times and watermark,
// taken from the row when the editor opens.
struct EditorInputs
{
    QString EditFile;
    QString EditStart;
    QString EditEnd;
    QString EditLength;
    QString WatermarkImage;
    QString WatermarkPlace;

    // The row's FileName, Start, End and Video Time, and its Watermark split
    // into picture and placement (both empty when it has none).
    static EditorInputs fromRow(const ConversionItem &row);
};

// The five placements the argument builder knows, in the editor's order.
const QStringList &placementNames();

// The seconds between two time texts as a time text, whichever of them is
// larger; empty when either cannot be read.
QString clipLengthText(const QString &start, const QString &end);

// What OK writes into the row, or why it refuses.
struct EditorOutcome
{
    QString refusal; // empty when the row is written
    QString Start;
    QString End;
    QString Watermark;
};

// The start and end texts are compared as text. With the watermark enabled
// and a picture chosen, the placement's surrounding blanks are dropped and
// it must be one of the five: a typed one would silently give no watermark.
// A picture path holding ";" is refused too, as the row could not keep it.
EditorOutcome confirmEditor(const QString &startText, const QString &endText, bool enabled,
                            const QString &watermarkImage, const QString &placement);
