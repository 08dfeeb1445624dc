#include "settings/Settings.h"

#include "settings/IniFile.h"
#include "settings/NumberValue.h"
#include "settings/ProgramFolders.h"

#include <QDir>
#include <algorithm>
#include <cmath>
#include <utility>

Settings::Settings(QString file, QString defaultOutputFolder)
    : m_file(std::move(file)), m_defaultOutputFolder(std::move(defaultOutputFolder))
{
}

Settings Settings::forThisProgram()
{
    return Settings(settingsFilePath(), writableFolder());
}

QString Settings::read(const QString &key) const
{
    return ReadIniValue(m_file, Section, key);
}

bool Settings::write(const QString &key, const QString &value, const QString &section) const
{
    return WriteIniValue(m_file, section, key, value);
}

QString Settings::outputFolder() const
{
    const QString folder = read(OutputFolderKey);
    if (folder.isEmpty() || folder == QLatin1String("0"))
        return m_defaultOutputFolder;
    // FFmpeg runs in the writable folder, the default; a relative folder
    // means one in there, whatever the current folder of this program is.
    return QDir::cleanPath(QDir(m_defaultOutputFolder).absoluteFilePath(folder));
}

ExistingFilePolicy Settings::existedFile() const
{
    return read(ExistedFileKey) == QLatin1String("1") ? ExistingFilePolicy::Overwrite
                                                      : ExistingFilePolicy::AddNew;
}

int threadCount(const QString &text)
{
    const double value = std::floor(numberValue(text));
    if (value <= 0)
        return 0;
    return value > 1024 ? 1024 : static_cast<int>(value);
}

int Settings::thread() const
{
    return threadCount(read(ThreadKey));
}

int jobsCount(const QString &text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok && value >= 0 && value <= Settings::MaxJobs ? value : 0;
}

int Settings::jobs() const
{
    return jobsCount(read(JobsKey));
}

bool Settings::autoShut() const
{
    return read(AutoShutKey) == QLatin1String("1");
}

std::optional<int> Settings::profile() const
{
    const QString text = read(ProfileKey).trimmed();
    if (text.isEmpty() ||
        !(text[0].isDigit() || text[0] == QLatin1Char('-') || text[0] == QLatin1Char('+')))
        return std::nullopt;
    // Clamped before it becomes an int: a position far beyond any catalogue
    // selects nothing, as one just beyond it does.
    return int(std::clamp(std::trunc(numberValue(text)), -1.0, double(MaxProfilePosition)));
}

bool Settings::setOutputFolder(const QString &folder) const
{
    return write(OutputFolderKey, folder.trimmed());
}

bool Settings::setExistedFile(ExistingFilePolicy policy) const
{
    return write(ExistedFileKey, policy == ExistingFilePolicy::Overwrite ? QStringLiteral("1")
                                                                         : QStringLiteral("0"));
}

bool Settings::setThread(int threads) const
{
    return write(ThreadKey, QString::number(threads));
}

bool Settings::setAutoShut(bool on) const
{
    return write(AutoShutKey, on ? QStringLiteral("1") : QStringLiteral("0"));
}

bool Settings::setJobs(int jobs) const
{
    return write(JobsKey, QString::number(std::clamp(jobs, 0, MaxJobs)));
}

bool Settings::setProfile(int position) const
{
    return write(ProfileKey, QString::number(position), QStringLiteral("Set"));
}
