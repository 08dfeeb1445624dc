#include "app/MediaFiles.h"

#include <QCollator>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace {

const char *const openFilters[] = {
    "All supported media files (*.avi *.wmv *.wma *.asf *.mov *.mp4 *.3gp *.3g2 *.rm *.rmvb "
    "*.flv *.mkv *.m2ts *.m1v *.mpe *.mpg *.mpeg *.m2v *.divx *.ogm *.vro *.dr *.amv *.ms-dvr "
    "*.dvr-ms *.m4v *.qt *.3gp2 *.3gpp *.mpeg4 *.rv *.f4v *.avs *.mts *.tod *.mpv *.dat *.mpeg1 "
    "*.vob *.mpeg2 *.m2p *.mod *.ts *.tp *.m2t *.ogv *.ogg *.nsv *.webm *.m4v)",
    "Windows Media files (*.avi;*.wmv;*.wma;*.asf;*.ms-dvr;*.dvr-ms) (*.avi *.wmv *.wma *.asf "
    "*.ms-dvr *.dvr-ms)",
    "Mov/MP4 Files (*.mov;*.mp4;*.3gp;*.3g2;*.m4v;*.qt;*.3gp2;*.3gpp;*.mpeg4) (*.mov *.mp4 *.3gp "
    "*.3g2 *.m4v *.qt *.3gp2 *.3gpp *.mpeg4)",
    "Real Media Files (*.rm;*.rmvb;*.rv) (*.rm *.rmvb *.rv)",
    "Flash Video files (*.flv;*.f4v) (*.flv *.f4v)",
    "Matroska Video files (*.mkv) (*.mkv)",
    "AviSynth Scripts (*.avs) (*.avs)",
    "Sony High Definition Video File (*.m2ts;*.mts;*.tod) (*.m2ts *.mts *.tod)",
    "MPEG-1 Video File (*.m1v;*.mpe;*.mpg;*.mpeg;*.mpv;*.dat;*.mpeg1) (*.m1v *.mpe *.mpg *.mpeg "
    "*.mpv *.dat *.mpeg1)",
    "MPEG-2 Video File (*.m2v;*.mpe;*.mpg;*.mpeg;*.mpv;*.vob;*.mpeg2;*.m2p;*.mod) (*.m2v *.mpe "
    "*.mpg *.mpeg *.vob *.mpeg2 *.m2p *.mod)",
    "MPEG Transport Stream Files (*.ts;*.tp;*.m2t) (*.ts *.tp *.m2t)",
    "Divx Video File (*.divx) (*.divx)",
    "Ogg Media File (*.ogm;*.ogv;*.ogg) (*.ogm *.ogv *.ogg)",
    "DVD-VR Video File(*.vro) (*.vro)",
    "Nullsoft Stream Video Files (*.nsv) (*.nsv)",
    "Other Video File(*.dr;*.amv;*.webm) (*.dr *.amv *.webm)",
    "All files (*.*) (*)",
};

// The first filter's extensions, lower case.
const QSet<QString> &mediaSuffixes()
{
    static const QSet<QString> suffixes = [] {
        QSet<QString> set;
        const QString all = QString::fromLatin1(openFilters[0]);
        const QRegularExpression pattern(QStringLiteral("\\*\\.([^ )]+)"));
        for (auto it = pattern.globalMatch(all); it.hasNext();)
            set.insert(it.next().captured(1));
        return set;
    }();
    return suffixes;
}

void addMediaOfFolder(const QString &folder, const QCollator &order, QStringList &files)
{
    QFileInfoList entries =
        QDir(folder).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(entries.begin(), entries.end(), [&](const QFileInfo &a, const QFileInfo &b) {
        return order.compare(a.fileName(), b.fileName()) < 0;
    });
    for (const QFileInfo &entry : std::as_const(entries)) {
        if (entry.isDir()) {
            if (!entry.isSymLink())
                addMediaOfFolder(entry.filePath(), order, files);
        } else if (isMediaFileName(entry.fileName())) {
            files << entry.absoluteFilePath();
        }
    }
}

} // namespace

QStringList mediaOpenFilters()
{
    QStringList filters;
    for (const char *filter : openFilters)
        filters << QString::fromLatin1(filter);
    return filters;
}

bool isMediaFileName(const QString &name)
{
    const QString fileName = QFileInfo(name).fileName();
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return dot >= 0 && mediaSuffixes().contains(fileName.mid(dot + 1).toLower());
}

DroppedMedia mediaFilesOf(const QStringList &droppedPaths)
{
    // The C locale's collator compares code points and ignores numbers, so
    // it is given English rules instead.
    QLocale locale;
    if (locale.language() == QLocale::C)
        locale = QLocale(QLocale::English, QLocale::UnitedStates);
    QCollator order(locale);
    order.setNumericMode(true);
    order.setCaseSensitivity(Qt::CaseInsensitive);
    DroppedMedia media;
    for (const QString &path : droppedPaths) {
        const QFileInfo info(path);
        if (info.isDir())
            addMediaOfFolder(info.absoluteFilePath(), order, media.files);
        else if (isMediaFileName(path))
            media.files << path;
        else
            media.refused << path;
    }
    return media;
}
