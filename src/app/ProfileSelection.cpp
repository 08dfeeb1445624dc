#include "app/ProfileSelection.h"

#include "app/OptionSheet.h"

qint64 profileIdFromKey(const QString &key)
{
    const QString digits = key.mid(1, 4);
    int n = 0;
    while (n < digits.size() && digits[n] >= QLatin1Char('0') && digits[n] <= QLatin1Char('9'))
        ++n;
    return digits.left(n).toLongLong();
}

const QVector<std::pair<QString, QString>> &profileOptions()
{
    static const QVector<std::pair<QString, QString>> options = {
        {OptionSheet::VideoOptions, QStringLiteral("Video Codec")},
        {OptionSheet::VideoOptions, QStringLiteral("Video Bitrate")},
        {OptionSheet::VideoOptions, QStringLiteral("Video Framerate")},
        {OptionSheet::VideoOptions, QStringLiteral("Video Size")},
        {OptionSheet::AudioOptions, QStringLiteral("Audio Codec")},
        {OptionSheet::AudioOptions, QStringLiteral("Audio Bitrate")},
        {OptionSheet::AudioOptions, QStringLiteral("Sample Rate")},
    };
    return options;
}

int applyProfile(const QVector<ProfileEntry> &entries, int position, ProfileCatalogue &catalogue,
                 OptionSheet &sheet)
{
    const auto entryAt = [&](int pos) -> const ProfileEntry * {
        return pos >= 1 && pos <= entries.size() ? &entries[pos - 1] : nullptr;
    };
    qint64 profileId = 0;
    if (const ProfileEntry *entry = entryAt(position)) {
        if (entry->isProfile()) {
            profileId = profileIdFromKey(entry->key);
        } else if (const ProfileEntry *next = entryAt(position + 1); next && next->isProfile()) {
            ++position;
            profileId = profileIdFromKey(next->key);
        }
    }

    const QStringList &tables = ProfileCatalogue::choiceTables();
    for (int i = 0; i < tables.size(); ++i) {
        const auto &[group, item] = profileOptions()[i];
        (void)sheet.clearChoices(group, item);
        // Profile ids start at 1, so id 0 stands for "no profile".
        const QStringList values =
            profileId > 0 ? catalogue.choices(tables[i], profileId).value_or(QStringList())
                          : QStringList();
        (void)sheet.setValue(group, item,
                             values.isEmpty() ? QStringLiteral("N/A") : values.first());
        for (const QString &value : values)
            (void)sheet.addChoice(group, item, value);
    }
    return position;
}
