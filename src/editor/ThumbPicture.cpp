#include "editor/ThumbPicture.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

constexpr int Size = RangeToolModel::ThumbSize;

struct Segment
{
    int x1, y1, x2, y2;
    ThumbInk ink;
};

constexpr ThumbInk H = ThumbInk::Highlight;
constexpr ThumbInk S = ThumbInk::Shadow;
constexpr ThumbInk D = ThumbInk::DarkShadow;

// Drawn in this order, each from its first point to its second, both ends
// included; later lines cover earlier ones where they cross. By thumb
// (lower, upper), then look (raised, pressed, etched).
const std::vector<Segment> &segments(RangeToolModel::Thumb thumb, RangeToolModel::Look look)
{
    // clang-format off
    static const std::vector<Segment> table[2][3] = {
        {{{7, 0, 14, 14, D}, {0, 14, 14, 14, D}, {7, 1, 13, 13, S},
          {1, 13, 13, 13, S}, {0, 14, 7, 0, H}, {1, 13, 7, 1, H}},
         {{0, 14, 7, 0, D}, {1, 13, 7, 1, S}, {7, 2, 13, 13, S},
          {1, 13, 13, 13, S}, {7, 0, 14, 14, H}, {0, 14, 14, 14, H}},
         {{1, 13, 13, 13, S}, {7, 1, 13, 13, H}, {0, 14, 14, 14, H},
          {2, 13, 8, 1, H}, {7, 2, 13, 13, S}, {0, 14, 7, 0, S}}},
        {{{14, 0, 7, 14, D}, {13, 0, 7, 13, S}, {0, 0, 14, 0, H}, {0, 0, 7, 14, H}},
         {{13, 0, 7, 13, S}, {14, 0, 7, 14, H}, {1, 1, 13, 1, S},
          {1, 1, 7, 13, S}, {0, 0, 14, 0, D}, {0, 0, 7, 14, D}},
         {{1, 1, 13, 1, H}, {1, 0, 7, 12, H}, {13, 0, 7, 13, S},
          {14, 0, 7, 14, H}, {0, 0, 14, 0, S}, {0, 0, 7, 14, S}}}};
    // clang-format on
    return table[thumb][int(look)];
}

// numerator / denominator to the nearest whole number, halves to the even
// one. Rounding the pixel's own coordinate this way (not its offset from the
// line's start) puts the triangle's two sides on mirrored pixels.
int divideRounded(int numerator, int denominator)
{
    const std::div_t d = std::div(numerator, denominator);
    const int twice = 2 * std::abs(d.rem);
    const int step = numerator < 0 ? -1 : 1;
    if (twice > denominator || (twice == denominator && d.quot % 2 != 0))
        return d.quot + step;
    return d.quot;
}

} // namespace

ThumbPicture thumbPicture(RangeToolModel::Thumb thumb, RangeToolModel::Look look)
{
    ThumbPicture picture;
    picture.fill(ThumbInk::None);
    for (int i = 0; i < Size; ++i) {
        const int y = thumb == RangeToolModel::Lower ? Size - 1 - i : i;
        for (int x = divideRounded(i, 2); x <= Size - 1 - divideRounded(i, 2); ++x)
            picture[size_t(y * Size + x)] = ThumbInk::Face;
    }
    for (const Segment &s : segments(thumb, look)) {
        const int steps = std::max({1, std::abs(s.x2 - s.x1), std::abs(s.y2 - s.y1)});
        for (int k = 0; k <= steps; ++k) {
            const int x = divideRounded(s.x1 * steps + (s.x2 - s.x1) * k, steps);
            const int y = divideRounded(s.y1 * steps + (s.y2 - s.y1) * k, steps);
            picture[size_t(y * Size + x)] = s.ink;
        }
    }
    return picture;
}
