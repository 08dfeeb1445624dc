#include "store/QueueStore.h"

#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSet>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

namespace {

// The schema, one step per version. A file at version N runs the steps above
// N, all in one transaction that also sets user_version.
struct SchemaStep
{
    int version;
    const char *sql;
};

const SchemaStep schemaSteps[] = {
    {1, "CREATE TABLE rows(id INTEGER PRIMARY KEY, source TEXT NOT NULL, start TEXT,"
        " \"end\" TEXT, watermark TEXT, chosen INTEGER, size TEXT, format TEXT,"
        " video_time TEXT, status TEXT NOT NULL DEFAULT '', output TEXT, part TEXT,"
        " output_size INTEGER, reason TEXT);"
        "CREATE TABLE batch(key TEXT PRIMARY KEY, value TEXT);"},
    {2, "ALTER TABLE rows ADD COLUMN output_mtime INTEGER;"
        "ALTER TABLE rows ADD COLUMN source_size INTEGER;"
        "ALTER TABLE rows ADD COLUMN source_mtime INTEGER;"
        "ALTER TABLE rows ADD COLUMN command TEXT;"},
};
static_assert(sizeof schemaSteps / sizeof *schemaSteps == QueueStore::SchemaVersion,
              "one schema step per version");

// The columns of a row in the order the statements below bind and read them.
#define ROW_COLUMNS                                                                                \
    "id, source, start, \"end\", watermark, chosen, size, format, video_time, status, output,"     \
    " part, output_size, output_mtime, source_size, source_mtime, command, reason"
#define ROW_VALUES "?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16, ?17, ?18"

// The sidecar files SQLite may keep beside a database; they travel with it.
const char *const sidecars[] = {"-wal", "-shm", "-journal"};

// Waiting for another connection's write lock; only a stray sqlite3 shell
// can hold one while the lock file keeps other Clipwrights out.
constexpr int BusyTimeoutMs = 5000;

void bindText(sqlite3_stmt *statement, int index, const QString &text)
{
    if (text.isNull()) {
        sqlite3_bind_null(statement, index);
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

// -1 means "not known" in a record and NULL in the file.
void bindNumber(sqlite3_stmt *statement, int index, qint64 number)
{
    if (number == -1)
        sqlite3_bind_null(statement, index);
    else
        sqlite3_bind_int64(statement, index, number);
}

QString columnText(sqlite3_stmt *statement, int column)
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
    if (!text)
        return {};
    return QString::fromUtf8(text, sqlite3_column_bytes(statement, column));
}

qint64 columnNumber(sqlite3_stmt *statement, int column)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return -1;
    return sqlite3_column_int64(statement, column);
}

// Errors that say the file's bytes are not a usable database, as opposed to
// errors of the file system or of locking, which moving the file would not cure.
bool isDamage(int rc)
{
    rc &= 0xff;
    return rc == SQLITE_NOTADB || rc == SQLITE_CORRUPT;
}

// What a look at an existing file found.
struct Inspection
{
    enum Verdict
    {
        Usable,
        Untrusted,
        Error
    } verdict = Usable;
    QString reason; // Untrusted and Error: why
    int version = 0;
};

// A POSIX record lock on PATH.lock. The kernel drops it when the process
// ends, however it ends, so a lock is never stale; and unlike flock it
// belongs to the process, not to the descriptor, so a child caught between
// fork and exec when its parent is killed does not hold it on. The lock of
// one process does not keep that process out: a set of the paths it holds
// does. The descriptor is closed on exec.
class ProcessLock
{
public:
    enum Result
    {
        Taken,
        Held,
        Error
    };
    ProcessLock() = default;
    ProcessLock(const ProcessLock &) = delete;
    ProcessLock &operator=(const ProcessLock &) = delete;
    ~ProcessLock()
    {
        if (m_fd < 0)
            return;
        QMutexLocker locker(&s_mutex);
        ::close(m_fd); // every descriptor of the file closed drops the lock
        s_held.remove(m_file);
    }

    // Held: `holder` gets the pid of the process that holds it. Error: `why`
    // says what the system said.
    Result take(const QString &file, qint64 *holder, QString *why)
    {
        QMutexLocker locker(&s_mutex);
        const QString key = QFileInfo(file).absoluteFilePath();
        if (s_held.contains(key)) {
            *holder = ::getpid();
            return Held;
        }
        const int fd = ::open(QFile::encodeName(key).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            *why = QString::fromLocal8Bit(std::strerror(errno));
            return Error;
        }
        struct flock whole = {};
        whole.l_type = F_WRLCK;
        whole.l_whence = SEEK_SET;
        if (::fcntl(fd, F_SETLK, &whole) != 0) {
            const int code = errno;
            const bool held = code == EACCES || code == EAGAIN;
            if (held && ::fcntl(fd, F_GETLK, &whole) == 0 && whole.l_type != F_UNLCK)
                *holder = whole.l_pid;
            *why = QString::fromLocal8Bit(std::strerror(code));
            ::close(fd);
            return held ? Held : Error;
        }
        m_fd = fd;
        m_file = key;
        s_held.insert(key);
        return Taken;
    }

private:
    static inline QMutex s_mutex;
    static inline QSet<QString> s_held;
    int m_fd = -1;
    QString m_file;
};

} // namespace

struct QueueStore::Private
{
    QString path;
    QString error;
    std::unique_ptr<ProcessLock> lock;
    sqlite3 *db = nullptr;

    // Prepared once per open and reset after each use.
    sqlite3_stmt *begin = nullptr;
    sqlite3_stmt *commit = nullptr;
    sqlite3_stmt *rollback = nullptr;
    sqlite3_stmt *removeAll = nullptr;
    sqlite3_stmt *removeOne = nullptr;
    sqlite3_stmt *insert = nullptr;
    sqlite3_stmt *replace = nullptr;
    sqlite3_stmt *putValue = nullptr;
    sqlite3_stmt *selectAll = nullptr;
    sqlite3_stmt *selectValue = nullptr;

    sqlite3_stmt **statements[10] = {&begin,  &commit,  &rollback, &removeAll, &removeOne,
                                     &insert, &replace, &putValue, &selectAll, &selectValue};

    QString sqliteError() const { return QString::fromUtf8(sqlite3_errmsg(db)); }

    bool exec(const char *sql)
    {
        return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
    }

    // Steps a statement without result rows and resets it.
    bool run(sqlite3_stmt *statement)
    {
        const int rc = sqlite3_step(statement);
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
        return rc == SQLITE_DONE;
    }

    bool prepareAll()
    {
        const char *const sql[10] = {
            "BEGIN IMMEDIATE",
            "COMMIT",
            "ROLLBACK",
            "DELETE FROM rows",
            "DELETE FROM rows WHERE id = ?1",
            "INSERT INTO rows(" ROW_COLUMNS ") VALUES(" ROW_VALUES ")",
            "INSERT OR REPLACE INTO rows(" ROW_COLUMNS ") VALUES(" ROW_VALUES ")",
            "INSERT OR REPLACE INTO batch(key, value) VALUES(?1, ?2)",
            "SELECT " ROW_COLUMNS " FROM rows ORDER BY id",
            "SELECT value FROM batch WHERE key = ?1",
        };
        for (int i = 0; i < 10; ++i) {
            if (sqlite3_prepare_v3(db, sql[i], -1, SQLITE_PREPARE_PERSISTENT, statements[i],
                                   nullptr) != SQLITE_OK)
                return false;
        }
        return true;
    }

    void closeDatabase()
    {
        for (sqlite3_stmt **statement : statements) {
            sqlite3_finalize(*statement);
            *statement = nullptr;
        }
        sqlite3_close(db);
        db = nullptr;
    }

    Inspection inspect();
    bool migrate(int from);
    QString moveAside(QString *failure);
};

// Reads the version and checks the pages and the tables without writing.
Inspection QueueStore::Private::inspect()
{
    Inspection found;
    const auto failed = [&](int rc) {
        found.verdict = isDamage(rc) ? Inspection::Untrusted : Inspection::Error;
        found.reason = sqliteError();
        return found;
    };
    // Each statement is finalized before the next runs.
    const auto firstRow = [&](const char *sql, QString *text) {
        sqlite3_stmt *statement = nullptr;
        int rc = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr);
        if (rc == SQLITE_OK) {
            rc = sqlite3_step(statement);
            if (rc == SQLITE_ROW) {
                *text = columnText(statement, 0);
                rc = SQLITE_OK;
            }
        }
        sqlite3_finalize(statement);
        return rc;
    };

    QString text;
    if (const int rc = firstRow("PRAGMA user_version", &text); rc != SQLITE_OK)
        return failed(rc);
    found.version = text.toInt();
    if (found.version > QueueStore::SchemaVersion) {
        found.verdict = Inspection::Untrusted;
        found.reason = QStringLiteral("it was written by a newer Clipwright, list version %1")
                           .arg(found.version);
        return found;
    }
    if (const int rc = firstRow("PRAGMA quick_check", &text); rc != SQLITE_OK)
        return failed(rc);
    if (text != QLatin1String("ok")) {
        found.verdict = Inspection::Untrusted;
        found.reason = QStringLiteral("the file is damaged: %1").arg(text);
        return found;
    }
    if (const int rc = firstRow("SELECT count(*) FROM sqlite_master", &text); rc != SQLITE_OK)
        return failed(rc);
    const int objects = text.toInt();
    if (const int rc = firstRow("SELECT count(*) FROM sqlite_master WHERE type = 'table'"
                                " AND name IN ('rows', 'batch')",
                                &text);
        rc != SQLITE_OK)
        return failed(rc);
    // Version 0 with tables is some other program's file; migrating it would
    // fail on every start.
    if (found.version > 0 && text.toInt() != 2) {
        found.verdict = Inspection::Untrusted;
        found.reason = QStringLiteral("its tables are missing");
    } else if (found.version == 0 && objects > 0) {
        found.verdict = Inspection::Untrusted;
        found.reason = QStringLiteral("it holds tables of another program");
    }
    return found;
}

bool QueueStore::Private::migrate(int from)
{
    if (from >= QueueStore::SchemaVersion)
        return true;
    if (!exec("BEGIN IMMEDIATE"))
        return false;
    bool ok = true;
    for (const SchemaStep &step : schemaSteps) {
        if (step.version > from && !exec(step.sql)) {
            ok = false;
            break;
        }
    }
    const QByteArray setVersion =
        "PRAGMA user_version = " + QByteArray::number(QueueStore::SchemaVersion);
    if (ok && exec(setVersion.constData()) && exec("COMMIT"))
        return true;
    const QString why = sqliteError();
    exec("ROLLBACK");
    error = why;
    return false;
}

// Renames the closed database and its sidecars to the first free PATH.bad,
// PATH.bad.2, ... and returns the new name; empty, with `failure` set, when
// a rename fails, after putting back what was already moved.
QString QueueStore::Private::moveAside(QString *failure)
{
    const auto isFree = [](const QString &name) {
        if (QFileInfo::exists(name))
            return false;
        for (const char *suffix : sidecars) {
            if (QFileInfo::exists(name + QLatin1String(suffix)))
                return false;
        }
        return true;
    };
    QString target = path + QLatin1String(".bad");
    for (int n = 2; !isFree(target); ++n)
        target = path + QLatin1String(".bad.") + QString::number(n);

    QStringList moved;
    QStringList from{QString()};
    for (const char *suffix : sidecars)
        from << QLatin1String(suffix);
    for (const QString &suffix : from) {
        // A sidecar left behind would be read as part of the new database.
        if (!suffix.isEmpty() && !QFileInfo::exists(path + suffix))
            continue;
        QFile file(path + suffix);
        if (!file.rename(target + suffix)) {
            *failure = QStringLiteral("The list of the last run could not be read, and %1 "
                                      "could not be moved aside as %2: %3")
                           .arg(path + suffix, target + suffix, file.errorString());
            for (const QString &back : moved)
                QFile::rename(target + back, path + back);
            return {};
        }
        moved << suffix;
    }
    return target;
}

QueueStore::QueueStore() : d(std::make_unique<Private>()) {}

QueueStore::~QueueStore()
{
    close();
}

QueueStore::Opening QueueStore::open(const QString &path)
{
    close();
    Opening opening;
    d->path = path;
    d->error.clear();
    const auto fail = [&](const QString &message) {
        if (d->db)
            d->closeDatabase();
        d->lock.reset();
        d->error = message;
        opening.outcome = Outcome::Failed;
        opening.message = message;
        opening.movedTo.clear();
        return opening;
    };

    auto lock = std::make_unique<ProcessLock>();
    qint64 holder = 0;
    QString why;
    switch (lock->take(path + QLatin1String(".lock"), &holder, &why)) {
    case ProcessLock::Taken:
        break;
    case ProcessLock::Error: {
        const QString folder = QFileInfo(path).absolutePath();
        return fail(QStringLiteral("Cannot create the lock file %1.lock: %2")
                        .arg(path, QFileInfo::exists(folder)
                                       ? why
                                       : QStringLiteral("the folder %1 does not exist").arg(folder)));
    }
    case ProcessLock::Held:
        opening.outcome = Outcome::Locked;
        opening.message =
            holder > 0
                ? QStringLiteral("The list in %1 is in use by another Clipwright (process %2).")
                      .arg(path)
                      .arg(holder)
                : QStringLiteral("The list in %1 is in use by another Clipwright.").arg(path);
        d->error = opening.message;
        return opening;
    }
    d->lock = std::move(lock);

    const QByteArray file = path.toUtf8();
    const auto openDatabase = [&] {
        const int rc = sqlite3_open_v2(file.constData(), &d->db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_busy_timeout(d->db, BusyTimeoutMs);
            return true;
        }
        return false;
    };
    const auto sqliteFailure = [&] {
        return QStringLiteral("Cannot open the list %1: %2")
            .arg(path, d->db ? d->sqliteError() : QStringLiteral("out of memory"));
    };

    if (!openDatabase())
        return fail(sqliteFailure());
    Inspection found = d->inspect();
    if (found.verdict == Inspection::Error)
        return fail(QStringLiteral("Cannot open the list %1: %2").arg(path, found.reason));
    if (found.verdict == Inspection::Untrusted) {
        // Closing would otherwise fold the WAL into the file being set aside.
        sqlite3_db_config(d->db, SQLITE_DBCONFIG_NO_CKPT_ON_CLOSE, 1, nullptr);
        d->closeDatabase();
        QString failure;
        opening.movedTo = d->moveAside(&failure);
        if (opening.movedTo.isEmpty())
            return fail(failure);
        opening.outcome = Outcome::MovedAside;
        opening.message = QStringLiteral("The list of the last run could not be read (%1); it "
                                         "was moved aside as %2.")
                              .arg(found.reason, opening.movedTo);
        if (!openDatabase())
            return fail(sqliteFailure());
        found = Inspection();
    } else {
        opening.outcome = Outcome::Opened;
    }

    if (!d->exec("PRAGMA journal_mode = WAL") || !d->exec("PRAGMA synchronous = NORMAL"))
        return fail(sqliteFailure());
    if (!d->migrate(found.version))
        return fail(QStringLiteral("Cannot update the list %1 to version %2: %3")
                        .arg(path)
                        .arg(SchemaVersion)
                        .arg(d->error));
    if (!d->prepareAll())
        return fail(sqliteFailure());
    d->error.clear();
    return opening;
}

void QueueStore::close()
{
    if (d->db)
        d->closeDatabase();
    d->lock.reset(); // unlocks
}

bool QueueStore::isOpen() const
{
    return d->db != nullptr;
}

QString QueueStore::path() const
{
    return d->path;
}

bool QueueStore::apply(QueueChanges &changes)
{
    if (!d->db) {
        d->error = QStringLiteral("The list is not open");
        return false;
    }
    if (!d->run(d->begin)) {
        d->error = QStringLiteral("Cannot write the list %1: %2").arg(d->path, d->sqliteError());
        return false;
    }
    // The new ids reach the records only once the transaction holds.
    QVector<qint64> newIds(changes.written.size(), 0);
    const auto write = [&] {
        if (changes.removeAll && !d->run(d->removeAll))
            return false;
        for (const qint64 id : changes.removed) {
            sqlite3_bind_int64(d->removeOne, 1, id);
            if (!d->run(d->removeOne))
                return false;
        }
        for (int i = 0; i < changes.written.size(); ++i) {
            const QueueRecord &r = changes.written[i];
            sqlite3_stmt *s = r.id == 0 ? d->insert : d->replace;
            if (r.id != 0)
                sqlite3_bind_int64(s, 1, r.id);
            bindText(s, 2, r.source);
            bindText(s, 3, r.start);
            bindText(s, 4, r.end);
            bindText(s, 5, r.watermark);
            sqlite3_bind_int64(s, 6, r.chosen);
            bindText(s, 7, r.size);
            bindText(s, 8, r.format);
            bindText(s, 9, r.videoTime);
            // A default record's status is null and means "waiting".
            if (r.status.isNull())
                sqlite3_bind_text(s, 10, "", 0, SQLITE_STATIC);
            else
                bindText(s, 10, r.status);
            bindText(s, 11, r.output);
            bindText(s, 12, r.part);
            bindNumber(s, 13, r.outputSize);
            bindNumber(s, 14, r.outputMtime);
            bindNumber(s, 15, r.sourceSize);
            bindNumber(s, 16, r.sourceMtime);
            bindText(s, 17, r.command);
            bindText(s, 18, r.reason);
            if (!d->run(s))
                return false;
            if (r.id == 0)
                newIds[i] = sqlite3_last_insert_rowid(d->db);
        }
        for (auto it = changes.values.cbegin(); it != changes.values.cend(); ++it) {
            bindText(d->putValue, 1, it.key());
            bindText(d->putValue, 2, it.value());
            if (!d->run(d->putValue))
                return false;
        }
        return d->run(d->commit);
    };
    if (!write()) {
        d->error = QStringLiteral("Cannot write the list %1: %2").arg(d->path, d->sqliteError());
        if (!sqlite3_get_autocommit(d->db))
            d->run(d->rollback);
        return false;
    }
    for (int i = 0; i < changes.written.size(); ++i) {
        if (newIds[i] != 0)
            changes.written[i].id = newIds[i];
    }
    d->error.clear();
    return true;
}

QVector<QueueRecord> QueueStore::records() const
{
    QVector<QueueRecord> records;
    if (!d->db) {
        d->error = QStringLiteral("The list is not open");
        return records;
    }
    sqlite3_stmt *s = d->selectAll;
    int rc;
    while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
        QueueRecord r;
        r.id = sqlite3_column_int64(s, 0);
        r.source = columnText(s, 1);
        r.start = columnText(s, 2);
        r.end = columnText(s, 3);
        r.watermark = columnText(s, 4);
        r.chosen = unsigned(sqlite3_column_int64(s, 5));
        r.size = columnText(s, 6);
        r.format = columnText(s, 7);
        r.videoTime = columnText(s, 8);
        r.status = columnText(s, 9);
        r.output = columnText(s, 10);
        r.part = columnText(s, 11);
        r.outputSize = columnNumber(s, 12);
        r.outputMtime = columnNumber(s, 13);
        r.sourceSize = columnNumber(s, 14);
        r.sourceMtime = columnNumber(s, 15);
        r.command = columnText(s, 16);
        r.reason = columnText(s, 17);
        records.append(r);
    }
    if (rc != SQLITE_DONE) {
        // Part of a list is not the list: the caller sees none and the error.
        d->error = QStringLiteral("Cannot read the list %1: %2").arg(d->path, d->sqliteError());
        records.clear();
    } else {
        d->error.clear();
    }
    sqlite3_reset(s);
    return records;
}

QString QueueStore::value(const QString &key) const
{
    if (!d->db)
        return {};
    bindText(d->selectValue, 1, key);
    QString value;
    if (sqlite3_step(d->selectValue) == SQLITE_ROW)
        value = columnText(d->selectValue, 0);
    sqlite3_reset(d->selectValue);
    sqlite3_clear_bindings(d->selectValue);
    return value;
}

QString QueueStore::error() const
{
    return d->error;
}
