#pragma once

#include <QString>
#include <optional>

enum class ExistingFilePolicy
{
    AddNew,   // "existedfile" = "0": the new file gets a free "_New" name
    Overwrite // "existedfile" = "1"
};

// Typed access to settings.dat, section "set". Nothing is cached: every
// accessor reads the file, so a change saved elsewhere counts at the next read.
class Settings
{
public:
    static inline const QString Section = QStringLiteral("set");
    static inline const QString OutputFolderKey = QStringLiteral("outputfolder");
    static inline const QString ExistedFileKey = QStringLiteral("existedfile");
    static inline const QString ThreadKey = QStringLiteral("thread");
    static inline const QString AutoShutKey = QStringLiteral("autoshut");
    static inline const QString ProfileKey = QStringLiteral("profile");
    static inline const QString JobsKey = QStringLiteral("jobs");
    static constexpr int MaxJobs = 8;

    // `defaultOutputFolder` is used when "outputfolder" is absent, empty or "0".
    Settings(QString file, QString defaultOutputFolder);
    // settings.dat in the writable folder, with that folder as default output.
    static Settings forThisProgram();

    QString file() const { return m_file; }

    // Absolute: a relative "outputfolder" lies in the default output folder.
    QString outputFolder() const;
    ExistingFilePolicy existedFile() const;
    // The thread count given to FFmpeg: the whole number the text starts with;
    // 0 when empty, not a number or negative; at most 1024.
    int thread() const;
    bool autoShut() const;
    // How many conversions run at once: 1..MaxJobs, or 0 for a count the
    // engine chooses; a missing or bad value is 0.
    int jobs() const;
    // The stored combo position (from 1): the number the text starts with,
    // within -1..MaxProfilePosition; nullopt when absent or not a number.
    std::optional<int> profile() const;
    static constexpr int MaxProfilePosition = 1000000;

    [[nodiscard]] bool setOutputFolder(const QString &folder) const;
    [[nodiscard]] bool setExistedFile(ExistingFilePolicy policy) const;
    [[nodiscard]] bool setThread(int threads) const;
    [[nodiscard]] bool setAutoShut(bool on) const;
    [[nodiscard]] bool setJobs(int jobs) const;
    // The window writes the section as "Set" when it closes; names match
    // without regard to case, so it is the same section.
    [[nodiscard]] bool setProfile(int position) const;

    QString read(const QString &key) const;
    [[nodiscard]] bool write(const QString &key, const QString &value,
                             const QString &section = Section) const;

private:
    QString m_file;
    QString m_defaultOutputFolder;
};

// Thread text as the argument builder reads it; see Settings::thread().
int threadCount(const QString &text);
// "jobs" text as Settings::jobs() reads it: a whole number 0..MaxJobs, else 0.
int jobsCount(const QString &text);
