#pragma once

#include "media/MediaProbe.h"

class ConversionList;

// Fills the row at `position` from what the probe found, as the file list
// does for every added file: Format and End / Video Time (the length rounded
// to whole seconds) when known, Start "0:00:00", Size "WxH". False when the
// row no longer exists.
bool fillProbedRow(ConversionList &list, int position, const MediaFacts &facts);
