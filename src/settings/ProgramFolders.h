#pragma once

#include <QString>

// The folder of the running executable. In a portable program folder such as
// build/bin it also holds the data that ships with the program.
QString programFolder();

// The folder of the read-only data that ships with the program (ct.s3db,
// pictures/, icons/, skins/, help/): the program folder when it holds the
// catalogue, as in build/bin; else share/clipwright beside the program's bin
// folder when that holds it, as after `cmake --install`; else the program
// folder.
QString dataFolder();

// The decision behind dataFolder(), for a given program folder.
QString chooseDataFolder(const QString &programFolder);

// Where the program writes its own files (settings.dat, curconvert.log,
// Cache/, downloads, the default output folder): the program folder when it
// is writable and is its own data folder, as in a portable install;
// otherwise the per-user data folder, created on first use. Every writer
// asks this function.
QString writableFolder();

// The decision behind writableFolder(), for a given portable program folder
// (empty when the program is not portable) and per-user folder.
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
