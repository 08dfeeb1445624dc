#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>
#include <optional>

struct sqlite3;

// One entry of the profile combo box: a category ("c001") or a profile
// ("p101") whose text is its running number, ".  " and its type name.
struct ProfileEntry
{
    QString key;
    QString text;
    int imageIndex = -1; // the category id for categories; -1 for profiles

    bool isProfile() const { return key.startsWith(QLatin1Char('p')); }
};

// The read-only profile catalogue (ct.s3db): categories, profiles and the
// choice lists each profile offers for seven options.
class ProfileCatalogue
{
public:
    // The seven option tables a profile governs; each table's value column
    // bears the table's name.
    static const QStringList &choiceTables();

    ProfileCatalogue();
    ~ProfileCatalogue();
    ProfileCatalogue(const ProfileCatalogue &) = delete;
    ProfileCatalogue &operator=(const ProfileCatalogue &) = delete;

    // Opens the file read-only. A missing file fails at once and is never
    // created. On failure errorString() tells why.
    bool open(const QString &path);
    bool isOpen() const { return m_db != nullptr; }
    QString errorString() const { return m_error; }

    // Categories by id, each followed by its profiles by id; profiles are
    // numbered across categories from 001. Empty when the catalogue cannot be
    // read (errorString() then says why).
    QVector<ProfileEntry> loadEntries();

    // The values of one choice table for a profile, in their order; nullopt
    // when the query fails.
    std::optional<QStringList> choices(const QString &table, qint64 profileId);

private:
    struct Deleter
    {
        void operator()(sqlite3 *db) const;
    };
    struct Rows;
    std::optional<Rows> query(const QString &sql);

    std::unique_ptr<sqlite3, Deleter> m_db;
    QString m_error;
};
