#pragma once

#include "engine/ConversionJob.h"
#include "process/KeyChannel.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class SignalWatcher;

// A batch as a job array for a cluster with shared storage (Slurm): a list
// of rows (jobs.tsv), a script each array task runs, and the results each
// task leaves.
//
// jobs.tsv has one line a row:
//   INDEX<TAB>SOURCE<TAB>OUTPUT<TAB>ARGUMENTS<TAB>FACTS
// SOURCE and OUTPUT escaped as the command line's output fields, ARGUMENTS
// FFmpeg's argument list (without the program) as a JSON array, writing to
// OUTPUT, and FACTS a JSON object of what judging the result needs
// ("clipStart", "clipSeconds", "sourceSeconds", "replace").
//
// results/INDEX.tsv holds the row's status line as the command line prints
// it, and, below it, the escaped reason; while the row converts, its status
// is "Processing" and the line below names its part file.
struct ArrayRow
{
    int index = 0;
    QString source;
    // Its arguments, output and clip, as planned: no program (each node
    // has its own), and no part file (each try makes its own).
    ConvertCommand command;
    bool replace = false; // the "Overwrite" policy: a file from before may go
};

QString arrayRowLine(const ArrayRow &row);
std::optional<ArrayRow> parseArrayRow(const QString &line);

// The job-array script: `rows` tasks, at most `atOnce` at a time (0: no
// limit), each running `cli` --run-job on the row of its task id unless its
// result says OK already.
QString arrayScript(const QString &cli, const QString &folder, int rows, int atOnce);

// Writes jobs.tsv and clipwright.sbatch into `folder`, which must be empty
// or new; the reason when it cannot.
QString writeJobArray(const QString &folder, const QList<ArrayRow> &rows, const QString &cli,
                      int atOnce);

// --collect: prints each row's status line in list order ("Waiting" for a
// row without a final result) and returns the exit status: 0 all OK, 1 some
// failed, 3 some not done yet, 2 when the list cannot be read.
int collectJobArray(const QString &folder);

// --run-job LIST --index I: converts one row by the local rules and leaves
// its result. Ends the event loop with 0 (OK) or 1.
class ArrayTask : public QObject
{
    Q_OBJECT

public:
    ArrayTask(QString list, int index, SignalWatcher &watcher, QObject *parent = nullptr);
    // The reason when the row cannot be started at all.
    QString start();

private:
    void onSignal(int signalNumber);
    void onStatus(ConversionJob::Status status);
    bool writeResult(const QString &text);

    QString m_list;
    int m_index;
    QString m_folder;
    QString m_resultFile;
    ArrayRow m_row;
    KeyChannel m_keys;
    std::unique_ptr<ConversionJob> m_job;
    int m_signal = 0;
};
