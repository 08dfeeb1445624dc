#pragma once

#include <QString>

// INI access with the behaviour of the classic profile functions: section and
// key names match without regard to case, a missing file or key reads as "",
// values come back trimmed and at most 127 characters long, and a write
// creates the file, section or key as needed and keeps everything else.
// Files are UTF-8 with LF line ends; CRLF is read too.

QString ReadIniValue(const QString &file, const QString &section, const QString &key);

// Values longer than 128 characters are cut; line breaks become blanks so a
// value can never start a new key. The file is replaced atomically. Returns
// false when the file could not be written (the old file is then untouched).
[[nodiscard]] bool WriteIniValue(const QString &file, const QString &section, const QString &key,
                                 const QString &value);
