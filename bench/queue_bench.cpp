// The cost of keeping the list's records, in the folder given on the command
// line: adding 10,000 probed rows to a recorded list (one transaction),
// restoring them as the window does after a crash (the records read and
// sorted out, every source looked at, the rows listed again and adopted), and
// the median cost of one row's status change (written at once, as during a
// batch). Prints the three figures in milliseconds.
#include "app/ConversionList.h"
#include "app/OptionSheet.h"
#include "engine/ConversionEngine.h"
#include "engine/SystemServices.h"
#include "process/KeyChannel.h"
#include "store/QueueRecorder.h"
#include "store/QueueStore.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr int Rows = 10000;
constexpr int StatusChanges = 401;

struct NoServices : PowerControl, FolderOpener
{
    void powerOff() override {}
    void openFolder(const QString &) override {}
};

// A list, an engine that never starts FFmpeg, and their recorder on `store`.
struct RecordedList
{
    RecordedList(QueueStore &store, NoServices &services)
        : engine(list, sheet, keys, services, services, ConversionEngine::Environment{}),
          recorder(store, list, engine, true)
    {
    }
    ConversionList list;
    OptionSheet sheet;
    KeyChannel keys;
    ConversionEngine engine;
    QueueRecorder recorder;
};

double milliseconds(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: queue_bench FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    QStringList sources;
    for (int n = 0; n < Rows; ++n) {
        sources << folder.filePath(QStringLiteral("clip %1.avi").arg(n));
        QFile file(sources.last());
        if (!file.open(QIODevice::WriteOnly))
            return std::fprintf(stderr, "cannot write %s\n", qPrintable(sources.last())), 1;
    }
    const QString path = folder.filePath(QStringLiteral("queue.db"));
    NoServices services;
    using Field = ConversionList::Field;

    double addMs = 0;
    {
        QueueStore store;
        if (store.open(path).outcome != QueueStore::Outcome::Opened)
            return std::fprintf(stderr, "%s\n", qPrintable(store.error())), 1;
        RecordedList recorded(store, services);
        QElapsedTimer timer;
        timer.start();
        for (const QString &source : sources) {
            const int position = recorded.list.append(source);
            (void)recorded.list.setProbed(position, Field::Size, QStringLiteral("640x360"));
            (void)recorded.list.setProbed(position, Field::Format, QStringLiteral("MPEG-4"));
            (void)recorded.list.setProbed(position, Field::VideoTime, QStringLiteral("00:01:00"));
        }
        if (!recorded.recorder.flush())
            return std::fprintf(stderr, "%s\n", qPrintable(store.error())), 1;
        addMs = milliseconds(timer);
        recorded.recorder.stop(true); // as a crash leaves them
    }

    QueueStore store;
    QElapsedTimer timer;
    timer.start();
    if (store.open(path).outcome != QueueStore::Outcome::Opened)
        return std::fprintf(stderr, "%s\n", qPrintable(store.error())), 1;
    const RecordsOutcome old = sortOutRecords(store.records());
    RecordedList recorded(store, services);
    for (const QueueRecord &record : old.unfinished)
        recorded.recorder.adopt(appendRecord(recorded.list, record), record);
    if (!recorded.recorder.flush())
        return std::fprintf(stderr, "%s\n", qPrintable(store.error())), 1;
    const double restoreMs = milliseconds(timer);
    if (recorded.list.count() != Rows)
        return std::fprintf(stderr, "restored %d rows of %d\n", recorded.list.count(), Rows), 1;

    // The bench plays the engine's part: each change is one row starting or
    // ending, which the recorder writes before the batch goes on.
    std::vector<double> changes;
    for (int n = 0; n < StatusChanges; ++n) {
        const ConversionList::RowId id = recorded.list.idAt(1 + n * (Rows / StatusChanges));
        const QString output = folder.filePath(QStringLiteral("out/clip %1.mp4").arg(n));
        timer.restart();
        if (n % 2 == 0)
            emit recorded.engine.rowWriting(id, output, QStringLiteral(".cw-12345678.mp4"),
                                            QStringLiteral("ffmpeg -i x"));
        else
            emit recorded.engine.rowFinished(id, ConversionJob::Status::Ok, QString(), output,
                                             QString());
        changes.push_back(milliseconds(timer));
    }
    std::nth_element(changes.begin(), changes.begin() + changes.size() / 2, changes.end());
    std::printf("add %.1f\nrestore %.1f\nstatus %.3f\n", addMs, restoreMs,
                changes[changes.size() / 2]);
    return 0;
}
