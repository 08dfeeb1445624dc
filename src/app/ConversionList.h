#pragma once

#include "app/ConversionItem.h"

#include <QObject>
#include <vector>

// The ordered rows of the file list. Positions count from 1. At most one row
// is selected. Every change is signalled so that a view can follow it.
//
// Each row also has an id that never changes and is never given twice, so
// that work that outlives a change of the list (a probe, a conversion) finds
// its own row, or learns that it is gone.
class ConversionList : public QObject
{
    Q_OBJECT

public:
    using Field = ConversionItem::Field;

    explicit ConversionList(QObject *parent = nullptr);

    using RowId = quint64;

    // Appends a row holding only the path; returns its position.
    int append(const QString &filePath);
    int count() const { return static_cast<int>(m_rows.size()); }
    // 0 for a position outside 1..count().
    RowId idAt(int position) const;
    // 0 when the row is gone.
    int positionOf(RowId id) const;
    // nullptr for a position outside 1..count(); the pointer is valid until
    // the next change of the list.
    [[nodiscard]] const ConversionItem *row(int position) const;
    // False when the row no longer exists (it may have been removed while a
    // probe or conversion for it was running).
    [[nodiscard]] bool setField(int position, Field field, const QString &text);
    // What the user chose (the clip editor, clipwright-cli's --clip and
    // --watermark): writes the field and marks it as chosen.
    [[nodiscard]] bool setChosen(int position, Field field, const QString &text);
    // What a probe found, or the default it implies (Start, End): written
    // only while the user has not chosen the field, as a probe may end long
    // after the user set the row's clip.
    [[nodiscard]] bool setProbed(int position, Field field, const QString &text);
    // 0 when no row is selected.
    int selected() const { return m_selected; }
    // 0 clears the selection; false for a position that does not exist.
    bool select(int position);
    bool remove(int position);
    void clear();

signals:
    void rowAppended(int position);
    void rowRemoved(int position);
    void fieldChanged(int position, ConversionItem::Field field);
    void cleared();
    void selectionChanged(int position);

private:
    std::vector<ConversionItem> m_rows;
    std::vector<RowId> m_ids; // beside m_rows, same order
    RowId m_nextId = 1;
    int m_selected = 0;
};
