#pragma once

#include "app/ProfileCatalogue.h"

class OptionSheet;

// The profile id a combo key carries: the leading digits of its characters
// 2 to 5 ("p012" -> 12, "p12345" -> 1234); 0 when there are none.
qint64 profileIdFromKey(const QString &key);

// Applies the combo entry at `position` (from 1) to the sheet's seven
// profile options and returns the position that ends up selected. A category
// selects the profile right after it. A category with no profile after it,
// or a position that holds no entry, applies no profile: the seven options
// show "N/A" with empty lists and the position stays as it was.
int applyProfile(const QVector<ProfileEntry> &entries, int position, ProfileCatalogue &catalogue,
                 OptionSheet &sheet);

// The seven (group, item) pairs a profile governs, in the order of
// ProfileCatalogue::choiceTables().
const QVector<std::pair<QString, QString>> &profileOptions();
