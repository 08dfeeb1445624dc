#include "app/ConversionList.h"

#include <algorithm>

ConversionList::ConversionList(QObject *parent) : QObject(parent) {}

int ConversionList::append(const QString &filePath)
{
    ConversionItem item;
    item.FileName = filePath;
    m_rows.push_back(std::move(item));
    m_ids.push_back(m_nextId++);
    emit rowAppended(count());
    return count();
}

const ConversionItem *ConversionList::row(int position) const
{
    if (position < 1 || position > count())
        return nullptr;
    return &m_rows[static_cast<size_t>(position - 1)];
}

ConversionList::RowId ConversionList::idAt(int position) const
{
    return position < 1 || position > count() ? 0 : m_ids[static_cast<size_t>(position - 1)];
}

int ConversionList::positionOf(RowId id) const
{
    const auto it = std::find(m_ids.begin(), m_ids.end(), id);
    return id == 0 || it == m_ids.end() ? 0 : int(it - m_ids.begin()) + 1;
}

bool ConversionList::setField(int position, Field field, const QString &text)
{
    if (position < 1 || position > count())
        return false;
    QString &current = m_rows[static_cast<size_t>(position - 1)].field(field);
    if (current != text) {
        current = text;
        emit fieldChanged(position, field);
    }
    return true;
}

bool ConversionList::setChosen(int position, Field field, const QString &text)
{
    if (!setField(position, field, text))
        return false;
    m_rows[static_cast<size_t>(position - 1)].chosenFields |= 1u << static_cast<int>(field);
    return true;
}

bool ConversionList::setProbed(int position, Field field, const QString &text)
{
    const ConversionItem *item = row(position);
    if (item && item->isChosen(field))
        return true;
    return setField(position, field, text);
}

bool ConversionList::select(int position)
{
    if (position < 0 || position > count())
        return false;
    if (m_selected != position) {
        m_selected = position;
        emit selectionChanged(position);
    }
    return true;
}

bool ConversionList::remove(int position)
{
    if (position < 1 || position > count())
        return false;
    m_rows.erase(m_rows.begin() + (position - 1));
    m_ids.erase(m_ids.begin() + (position - 1));
    emit rowRemoved(position);
    if (m_selected == position)
        select(0);
    else if (m_selected > position)
        select(m_selected - 1);
    return true;
}

void ConversionList::clear()
{
    m_rows.clear();
    m_ids.clear();
    emit cleared();
    select(0);
}
