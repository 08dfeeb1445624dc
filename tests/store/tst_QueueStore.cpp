#include "../TestSupport.h"
#include "store/QueueStore.h"

#include <csignal>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/prctl.h>
#include <sys/wait.h>

// The records file itself: an older schema is migrated with its rows, a file
// that cannot be trusted is moved aside and never read, and the lock keeps a
// second process out for exactly as long as the first one lives.
class TestQueueStore : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // Runs SQL on a file the way another program (or an older Clipwright) would.
    static bool sql(const QString &file, const char *statements)
    {
        sqlite3 *db = nullptr;
        const bool ok = sqlite3_open(file.toUtf8().constData(), &db) == SQLITE_OK &&
                        sqlite3_exec(db, statements, nullptr, nullptr, nullptr) == SQLITE_OK;
        sqlite3_close(db);
        return ok;
    }

private slots:
    void migratesAnOlderList()
    {
        const QString file = path("old.db");
        QVERIFY(sql(file, "CREATE TABLE rows(id INTEGER PRIMARY KEY, source TEXT NOT NULL,"
                          " start TEXT, \"end\" TEXT, watermark TEXT, chosen INTEGER, size TEXT,"
                          " format TEXT, video_time TEXT, status TEXT NOT NULL DEFAULT '',"
                          " output TEXT, part TEXT, output_size INTEGER, reason TEXT);"
                          "CREATE TABLE batch(key TEXT PRIMARY KEY, value TEXT);"
                          "INSERT INTO rows(id, source, start, status, output, output_size)"
                          " VALUES(7, '/v/a b.avi', '00:00:01', 'running', '/o/a b.mp4', 1234);"
                          "INSERT INTO batch VALUES('profile', '12');"
                          "PRAGMA user_version = 1;"));
        QueueStore store;
        QCOMPARE(store.open(file).outcome, QueueStore::Outcome::Opened);
        const QVector<QueueRecord> records = store.records();
        QCOMPARE(records.size(), 1);
        const QueueRecord &r = records[0];
        QVERIFY(r.id == 7 && r.source == "/v/a b.avi" && r.start == "00:00:01" &&
                r.status == "running" && r.outputSize == 1234);
        QCOMPARE(r.outputMtime, -1); // columns the old file did not have
        QCOMPARE(store.value("profile"), QString("12"));
        QueueChanges changes; // and the new columns take values
        changes.written << records[0];
        changes.written[0].command = "ffmpeg -i x";
        QVERIFY2(store.apply(changes), qPrintable(store.error()));
    }

    void untrustedFileMovedAside_data()
    {
        // The SQL that makes the file (none: 8 KiB of text), whether pages
        // after the first are then scribbled over, and the reason given.
        addColumns<QByteArray, bool, QString>("statements", "scribble", "reason");
        newRow("not SQLite", QByteArray(), false, "file is not a database");
        newRow("newer version",
               QByteArray("CREATE TABLE rows(id INTEGER); PRAGMA user_version = 99;"), false,
               "written by a newer Clipwright");
        newRow("another program's tables", QByteArray("CREATE TABLE moz_places(url TEXT);"), false,
               "tables of another program");
        newRow("damaged pages",
               QByteArray("CREATE TABLE t(x); INSERT INTO t WITH RECURSIVE n(i) AS (SELECT 1 UNION"
                          " ALL SELECT i+1 FROM n WHERE i < 2000) SELECT randomblob(300) FROM n;"
                          "PRAGMA user_version = 2;"),
               true, "");
    }

    void untrustedFileMovedAside()
    {
        QFETCH(QByteArray, statements);
        QFETCH(bool, scribble);
        QFETCH(QString, reason);
        const QString file = path(QString("bad-%1.db").arg(QTest::currentDataTag()));
        QVERIFY(statements.isNull() ? writeFile(file, QByteArray(8192, 'x'))
                                    : sql(file, statements.constData()));
        if (scribble) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::ReadWrite) && f.seek(4096 * 3));
            QVERIFY(f.write(QByteArray(4096 * 20, '\x5a')) == 4096 * 20);
        }
        const QByteArray before = readFile(file);

        for (const QString &expectedName : {file + ".bad", file + ".bad.2"}) {
            // The same bad file each round, with a log that travels with it.
            QFile::remove(file + "-shm");
            QVERIFY(writeFile(file, before) && writeFile(file + "-wal", QByteArray()));
            QueueStore store;
            const QueueStore::Opening opening = store.open(file);
            QCOMPARE(opening.outcome, QueueStore::Outcome::MovedAside);
            QCOMPARE(opening.movedTo, expectedName);
            QVERIFY2(opening.message.contains(reason) && opening.message.contains(expectedName),
                     qPrintable(opening.message));
            QCOMPARE(readFile(expectedName), before);
            QVERIFY(QFileInfo::exists(expectedName + "-wal") && store.records().isEmpty());
            QueueRecord added;
            added.source = "/v/a.avi";
            QueueChanges changes;
            changes.written << added;
            QVERIFY(store.apply(changes));
        }
    }

    void lockHeldWhileItsProcessLives()
    {
        const QString file = path("locked.db");
        {
            QueueStore first;
            QCOMPARE(first.open(file).outcome, QueueStore::Outcome::Opened);
            QueueStore second;
            const QueueStore::Opening opening = second.open(file);
            QCOMPARE(opening.outcome, QueueStore::Outcome::Locked);
            QVERIFY2(opening.message.contains(QString("process %1").arg(getpid())),
                     qPrintable(opening.message));
        }
        // Another process holds it; once it is killed, the list is free at once.
        int ready[2];
        QCOMPARE(::pipe(ready), 0);
        const QByteArray lockFile = QFile::encodeName(file + ".lock");
        const pid_t holder = ::fork();
        if (holder == 0) {                      // async-signal-safe calls only
            ::prctl(PR_SET_PDEATHSIG, SIGKILL); // ends with the test, also when a check fails
            struct flock whole = {};
            whole.l_type = F_WRLCK;
            const int fd = ::open(lockFile.constData(), O_RDWR | O_CREAT, 0644);
            if (fd >= 0 && ::fcntl(fd, F_SETLK, &whole) == 0 && ::write(ready[1], "x", 1) == 1)
                ::pause();
            ::_exit(1);
        }
        char byte = 0;
        QCOMPARE(::read(ready[0], &byte, 1), 1);
        QueueStore store;
        const QueueStore::Opening opening = store.open(file);
        QCOMPARE(opening.outcome, QueueStore::Outcome::Locked);
        QVERIFY2(opening.message.contains(QString("process %1").arg(holder)),
                 qPrintable(opening.message));
        ::kill(holder, SIGKILL);
        QCOMPARE(::waitpid(holder, nullptr, 0), holder);
        ::close(ready[0]);
        ::close(ready[1]);
        QCOMPARE(store.open(file).outcome, QueueStore::Outcome::Opened);
    }
};

QTEST_GUILESS_MAIN(TestQueueStore)
#include "tst_QueueStore.moc"
