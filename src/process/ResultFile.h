#pragma once

#include <QString>

// How a result file (a conversion, a download, a recording) reaches its name.
// The program writes it under a short hidden part name beside the result,
// created exclusively so that nothing else is ever written through; only then
// is it moved to its name, in one rename, never by copying, and never over a
// file it was not told to replace.

// True when anything is at `path`: a file, a folder, or a symbolic link,
// also one that points nowhere. The link itself counts, not its target.
bool isPathTaken(const QString &path);

// The "_New" rule: while `candidate` is taken, its name is cut at its first
// "." and "_New" and the extension are appended (x.mp4, x_New.mp4,
// x_New_New.mp4, ...).
QString nextFreeOutputPath(const QString &candidate);
// One step of that rule: "x.mp4" -> "x_New.mp4", whether or not either is free.
QString newNameFor(const QString &path);

// True when the last part of `path` fits in one file name: 255 bytes, as the
// file system stores it.
bool fitsFileName(const QString &path);

// A free, short hidden name beside `output` with the same extension, so that
// the writer picks the same format: "clip.mp4" -> ".cw-3f9a1c07.mp4".
// `extension` (".avi") replaces the output's, for a writer that is to write
// another format than the output's name says.
QString partPathFor(const QString &output, const QString &extension = QString());

// Creates the empty part file at `part`, failing when anything is there
// already. Empty when it was created; otherwise why not.
QString createPartFile(const QString &part);

// Writes `data` as the whole of `path` through a temporary file renamed over
// it, so that readers see the old file or the new one, never a part; the
// reason when it cannot.
QString saveWholeFile(const QString &path, const QByteArray &data);

struct PlacedOutput
{
    QString path;  // where the file ended up; empty when it was not placed
    QString error; // why not
};

enum class Placement
{
    Replace,      // what is at the name is replaced (a link, not its target)
    NeverReplace, // a taken name gives the next "_New" name, found at the rename
};

// Moves a part file to `output`.
PlacedOutput placeOutput(const QString &part, const QString &output, Placement placement);
