#pragma once

#include <QString>

// The folder of the running executable. It holds the read-only data that
// ships with the program (catalogue, pictures, style sheet, help).
QString programFolder();

// Where the program writes its own files (settings.dat, curconvert.log,
// Cache/, downloads, the default output folder): the program folder when it
// is writable, as in a portable install, otherwise the per-user data folder,
// created on first use. Every writer asks this function.
QString writableFolder();

// The decision behind writableFolder(), for a given program folder and
// per-user folder.
QString chooseWritableFolder(const QString &programFolder, const QString &userFolder);

// The child program `name` (ffmpeg, mplayer): the executable of that name in
// `folder` when there is one, otherwise the one found on PATH. Empty when
// neither exists.
QString resolveProgram(const QString &name, const QString &folder);
// The same, for the program folder.
QString resolveProgram(const QString &name);

// settings.dat in the writable folder.
QString settingsFilePath();
// The statistics file FFmpeg writes while it converts.
QString statisticsFilePath();
