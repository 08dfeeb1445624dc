#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

// File names as the system hands them over: bytes (the command line, a
// dropped file's address). This program keeps names as text, and a name that
// is not valid UTF-8 cannot become text and back without changing, so such a
// name is refused rather than read as some other file.

// The name as text; nullopt when the bytes are not valid UTF-8, and then
// `problem` (when given) says so, with the name's bad bytes escaped.
std::optional<QString> fileNameFromBytes(const QByteArray &bytes, QString *problem = nullptr);

// The bytes as text with every byte that is not part of a valid UTF-8
// character written as \xNN: "caf\xe9.avi".
QString escapedBytes(const QByteArray &bytes);
