#include "app/ProfileCatalogue.h"

#include <sqlite3.h>

namespace {

QString threeDigits(qint64 number)
{
    return QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
}

} // namespace

// The rows of one statement, each as its column texts, with names to find
// a column by (case-insensitively, as SQL compares column names).
struct ProfileCatalogue::Rows
{
    QStringList columns;
    QVector<QStringList> values;

    QString field(int row, const QString &name) const
    {
        for (int c = 0; c < columns.size(); ++c) {
            if (columns[c].compare(name, Qt::CaseInsensitive) == 0)
                return values[row].value(c);
        }
        return {};
    }
};

const QStringList &ProfileCatalogue::choiceTables()
{
    static const QStringList tables = {"videocodec", "videobitrate", "framerate", "videosize",
                                       "audiocodec", "audiobitrate", "samplerate"};
    return tables;
}

ProfileCatalogue::ProfileCatalogue() = default;
ProfileCatalogue::~ProfileCatalogue() = default;

void ProfileCatalogue::Deleter::operator()(sqlite3 *db) const
{
    sqlite3_close(db);
}

bool ProfileCatalogue::open(const QString &path)
{
    m_db.reset();
    sqlite3 *db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (rc != SQLITE_OK) {
        m_error = QStringLiteral("Cannot open the profile catalogue %1: %2")
                      .arg(path, QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
        sqlite3_close(db);
        return false;
    }
    m_db.reset(db);
    m_error.clear();
    return true;
}

std::optional<ProfileCatalogue::Rows> ProfileCatalogue::query(const QString &sql)
{
    if (!m_db) {
        if (m_error.isEmpty())
            m_error = QStringLiteral("The profile catalogue is not open");
        return std::nullopt;
    }
    sqlite3_stmt *raw = nullptr;
    if (sqlite3_prepare_v2(m_db.get(), sql.toUtf8().constData(), -1, &raw, nullptr) != SQLITE_OK) {
        m_error = QStringLiteral("Cannot read the profile catalogue: %1")
                      .arg(QString::fromUtf8(sqlite3_errmsg(m_db.get())));
        sqlite3_finalize(raw);
        return std::nullopt;
    }
    const std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt *)> statement(raw, sqlite3_finalize);
    Rows rows;
    const int columnCount = sqlite3_column_count(raw);
    for (int c = 0; c < columnCount; ++c)
        rows.columns << QString::fromUtf8(sqlite3_column_name(raw, c));
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
        QStringList row;
        for (int c = 0; c < columnCount; ++c) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(raw, c));
            row << QString::fromUtf8(text ? text : "");
        }
        rows.values << row;
    }
    if (rc != SQLITE_DONE) {
        m_error = QStringLiteral("Cannot read the profile catalogue: %1")
                      .arg(QString::fromUtf8(sqlite3_errmsg(m_db.get())));
        return std::nullopt;
    }
    return rows;
}

QVector<ProfileEntry> ProfileCatalogue::loadEntries()
{
    QVector<ProfileEntry> entries;
    const auto categories = query(QStringLiteral("select * from bigclass order by id"));
    if (!categories)
        return entries;
    int running = 0;
    for (int c = 0; c < categories->values.size(); ++c) {
        const qint64 categoryId = categories->values[c].value(0).toLongLong();
        entries.append({QLatin1Char('c') + threeDigits(categoryId),
                        categories->field(c, QStringLiteral("class")), int(categoryId)});
        // A failing profile query leaves this category empty; the rest still loads.
        const auto profiles = query(QStringLiteral("select * from type where classid=") +
                                    QString::number(categoryId) + QStringLiteral(" order by id"));
        if (!profiles)
            continue;
        for (int p = 0; p < profiles->values.size(); ++p) {
            const qint64 profileId = profiles->field(p, QStringLiteral("ID")).toLongLong();
            entries.append({QLatin1Char('p') + threeDigits(profileId),
                            threeDigits(++running) + QStringLiteral(".  ") +
                                profiles->field(p, QStringLiteral("typename")),
                            -1});
        }
    }
    return entries;
}

std::optional<QStringList> ProfileCatalogue::choices(const QString &table, qint64 profileId)
{
    const auto rows =
        query(QStringLiteral("select * from ") + table + QStringLiteral(" where typeid=") +
              QString::number(profileId) + QStringLiteral(" order by orders"));
    if (!rows)
        return std::nullopt;
    QStringList values;
    for (int r = 0; r < rows->values.size(); ++r)
        values << rows->field(r, table);
    return values;
}
