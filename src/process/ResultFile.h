#pragma once

#include "settings/Settings.h"

#include <QString>

// Where a converted file goes. FFmpeg writes to a hidden part file beside the
// output; only a file FFmpeg finished is moved to the output name, in one
// rename, never by copying.

// True when anything is at `path`: a file, a folder, or a symbolic link,
// also one that points nowhere. The link itself counts, not its target.
bool isPathTaken(const QString &path);

// The "_New" rule: while `candidate` is taken, its name is cut at its first
// "." and "_New" and the extension are appended (x.mp4, x_New.mp4,
// x_New_New.mp4, ...).
QString nextFreeOutputPath(const QString &candidate);

// True when the last part of `path` fits in one file name: 255 bytes, as the
// file system stores it.
bool fitsFileName(const QString &path);

// A free, short hidden name beside `output` with the same extension, so that
// FFmpeg picks the same format: "clip.mp4" -> ".cw-3f9a1c07.mp4".
QString partPathFor(const QString &output);

struct PlacedOutput
{
    QString path;  // where the file ended up; empty when it was not placed
    QString error; // why not
};

// Moves a finished part file to `output`. Overwrite replaces what is there
// (a link is replaced, its target is not touched). AddNew never replaces
// anything: when the name was taken meanwhile, the next "_New" name is used.
PlacedOutput placeOutput(const QString &part, const QString &output, ExistingFilePolicy policy);
