#pragma once

#include <QString>
#include <optional>

// The text tools the page scraper is built from.

// Percent-decoding: "+" becomes a blank, "%XX" a byte, and the bytes are read
// as UTF-8. A "%" with fewer than two characters after it is dropped. Empty
// when two characters after a "%" are not hexadecimal digits.
std::optional<QString> URLDecode(const QString &text);

// The text between the first `start` marker and the first `end` marker after
// it; empty when either marker is missing.
QString TextBetween(const QString &text, const QString &start, const QString &end);

// The first capture group of the first match of `pattern`, or empty text.
QString RegexFirstGroup(const QString &text, const QString &pattern);
