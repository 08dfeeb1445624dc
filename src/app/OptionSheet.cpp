#include "app/OptionSheet.h"

#include <algorithm>

namespace {

struct ItemDefault
{
    const char *group;
    const char *name;
    OptionItemKind kind;
    const char *value;
    QStringList choices;
};

// The sheet as it stands after building, in display order. The bitrate list
// keeps "1500" before "1152": that is the order users have always seen.
const std::vector<ItemDefault> &itemDefaults()
{
    using K = OptionItemKind;
    static const std::vector<ItemDefault> defaults = {
        {"General", "Item Name", K::Text, "Auto", {}},
        {"Output Duration", "All Clip Duration", K::Text, "00:00:00", {}},
        {"Output Duration", "Start Time", K::Text, "00:00:00", {}},
        {"Output Duration", "Stop Time", K::Text, "00:00:00", {}},
        {"Video Options", "Video Codec", K::Choice, "xvid", {}},
        {"Video Options",
         "Video Size",
         K::Choice,
         "320x240",
         {"320x240", "480x270", "480x320", "640x480"}},
        {"Video Options",
         "Video Bitrate",
         K::Choice,
         "256",
         {"48", "64", "128", "192", "256", "512", "768", "1000", "1500", "1152", "2500"}},
        {"Video Options",
         "Video Framerate",
         K::Choice,
         "29.97",
         {"Auto", "8", "10", "12", "15", "23.976", "24", "25", "29.97", "30"}},
        {"Video Options", "Aspect Ratio", K::Choice, "Original", {"Original", "4:3", "16:9"}},
        {"Audio Options", "Audio Codec", K::Choice, "aac", {"aac", "mp3", "ogg"}},
        {"Audio Options",
         "Audio Bitrate",
         K::Choice,
         "128",
         {"32", "40", "48", "56", "64", "80", "96", "112", "128", "160", "192", "224", "256",
          "320"}},
        {"Audio Options",
         "Sample Rate",
         K::Choice,
         "44100",
         {"8000", "11025", "22050", "24000", "32000", "44100", "48000"}},
        {"Audio Options", "Audio Channel", K::Choice, "2", {"1", "2"}},
        {"Audio Options", "Disable Audio", K::Choice, "No", {"No", "Yes"}},
        {"Audio Options", "A/V Sync", K::Choice, "Basic", {"Basic", "Default"}},
    };
    return defaults;
}

} // namespace

OptionSheet::OptionSheet(QObject *parent) : QObject(parent) {}

void OptionSheet::prolist()
{
    QSignalBlocker blocker(this);
    clear();
    for (const ItemDefault &d : itemDefaults()) {
        const QString group = QString::fromLatin1(d.group);
        if (!findGroup(group))
            addGroup(group);
        const QString name = QString::fromLatin1(d.name);
        if (!addItem(group, name, QString::fromLatin1(d.value), d.kind))
            continue;
        for (const QString &choice : d.choices)
            (void)addChoice(group, name, choice);
    }
    const std::pair<QString, QString> readOnlyItems[] = {
        {General, QStringLiteral("Item Name")},
        {OutputDuration, QStringLiteral("All Clip Duration")},
        {OutputDuration, QStringLiteral("Start Time")},
        {OutputDuration, QStringLiteral("Stop Time")},
    };
    for (const auto &[group, name] : readOnlyItems)
        (void)setReadOnly(group, name);
    blocker.unblock();
    emit structureChanged();
}

void OptionSheet::clear()
{
    m_groups.clear();
    emit structureChanged();
}

const OptionGroup &OptionSheet::addGroup(const QString &name)
{
    OptionGroup &group = m_groups.emplace_back();
    group.name = name;
    emit structureChanged();
    return group;
}

const OptionItem *OptionSheet::addItem(const QString &group, const QString &name,
                                       const QString &value, OptionItemKind kind)
{
    OptionGroup *g = findGroup(group);
    if (!g)
        return nullptr;
    OptionItem &item = g->items.emplace_back();
    item.name = name;
    item.value = value;
    item.kind = kind;
    emit structureChanged();
    return &item;
}

bool OptionSheet::addChoice(const QString &group, const QString &item, const QString &text)
{
    OptionItem *i = findItem(group, item);
    if (!i)
        return false;
    i->choices.append(text);
    emit itemChanged(group, item);
    return true;
}

bool OptionSheet::clearChoices(const QString &group, const QString &item)
{
    OptionItem *i = findItem(group, item);
    if (!i)
        return false;
    i->choices.clear();
    emit itemChanged(group, item);
    return true;
}

bool OptionSheet::setValue(const QString &group, const QString &item, const QString &text)
{
    OptionItem *i = findItem(group, item);
    if (!i)
        return false;
    if (i->value != text) {
        i->value = text;
        emit itemChanged(group, item);
    }
    return true;
}

std::optional<QString> OptionSheet::value(const QString &group, const QString &item) const
{
    if (const OptionItem *i = this->item(group, item))
        return i->value;
    return std::nullopt;
}

bool OptionSheet::setReadOnly(const QString &group, const QString &item)
{
    OptionItem *i = findItem(group, item);
    if (!i)
        return false;
    i->readOnly = true;
    emit itemChanged(group, item);
    return true;
}

const OptionItem *OptionSheet::item(const QString &group, const QString &item) const
{
    return const_cast<OptionSheet *>(this)->findItem(group, item);
}

OptionGroup *OptionSheet::findGroup(const QString &name)
{
    auto it = std::find_if(m_groups.begin(), m_groups.end(),
                           [&](const OptionGroup &g) { return g.name == name; });
    return it == m_groups.end() ? nullptr : &*it;
}

OptionItem *OptionSheet::findItem(const QString &group, const QString &item)
{
    OptionGroup *g = findGroup(group);
    if (!g)
        return nullptr;
    auto it = std::find_if(g->items.begin(), g->items.end(),
                           [&](const OptionItem &i) { return i.name == item; });
    return it == g->items.end() ? nullptr : &*it;
}
