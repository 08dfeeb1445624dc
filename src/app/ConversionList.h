#pragma once

#include "app/ConversionItem.h"

#include <QObject>
#include <vector>

// The ordered rows of the file list. Positions count from 1. At most one row
// is selected. Every change is signalled so that a view can follow it.
class ConversionList : public QObject
{
    Q_OBJECT

public:
    using Field = ConversionItem::Field;

    explicit ConversionList(QObject *parent = nullptr);

    // Appends a row holding only the path; returns its position.
    int append(const QString &filePath);
    int count() const { return static_cast<int>(m_rows.size()); }
    // nullptr for a position outside 1..count(); the pointer is valid until
    // the next change of the list.
    [[nodiscard]] const ConversionItem *row(int position) const;
    // False when the row no longer exists (it may have been removed while a
    // probe or conversion for it was running).
    [[nodiscard]] bool setField(int position, Field field, const QString &text);
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
    int m_selected = 0;
};
