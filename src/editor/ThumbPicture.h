#pragma once

#include "editor/RangeToolModel.h"

#include <array>

// What each pixel of a thumb's 15x15 square shows: nothing (the container's
// background), the triangle's face, or one of its three edge colours.
enum class ThumbInk : quint8
{
    None,
    Face,
    Highlight,
    Shadow,
    DarkShadow
};

using ThumbPicture = std::array<ThumbInk, RangeToolModel::ThumbSize * RangeToolModel::ThumbSize>;

// The lower thumb points up with its base on the bottom row, the upper one
// points down; the edge lines give the raised, pressed or etched look.
ThumbPicture thumbPicture(RangeToolModel::Thumb thumb, RangeToolModel::Look look);

inline ThumbInk inkAt(const ThumbPicture &picture, int x, int y)
{
    return picture[size_t(y * RangeToolModel::ThumbSize + x)];
}
