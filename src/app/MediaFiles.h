#pragma once

#include <QString>
#include <QStringList>

// Which files the list takes: one rule for the open dialog, drops and
// dropped folders. A file is media when its suffix (after the last dot, any
// case) is one of the extensions of the open dialog's first filter, "All
// supported media files".

// The open dialog's filters, in the order it lists them.
QStringList mediaOpenFilters();

// Whether `name` (a path or a file name) has a media suffix.
bool isMediaFileName(const QString &name);

struct DroppedMedia
{
    QStringList files;   // full paths to add, in order
    QStringList refused; // dropped files that are not media, in drop order
};

// Sorts dropped paths: a media file is taken, any other file is refused; a
// folder gives its media files and those of its subfolders, in name order
// (numbers by value), at its place in the drop. Within a folder, other
// files, hidden entries and links to folders are passed over.
DroppedMedia mediaFilesOf(const QStringList &droppedPaths);
