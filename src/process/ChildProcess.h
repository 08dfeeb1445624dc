#pragma once

class QByteArray;
class QProcess;

// Makes the child of `process` start clean, whatever this program has done
// to its own signals (clipwright-cli blocks SIGINT and SIGTERM to read them
// from a signalfd, and Qt ignores SIGPIPE):
// - no blocked signals, and SIGINT, SIGTERM and SIGPIPE at their default
//   action, so that terminate() and a user's kill reach it;
// - a process group of its own, so that a Ctrl+C in the terminal reaches it
//   only through this program, which stops it so that its file is kept;
// - SIGTERM when this program dies, so that no child outlives it.
// A background child also runs at a lower priority, so that it takes only
// the processor time the foreground work (a conversion) leaves; an idle one
// at the lowest (nice 19), for work nobody waits on.
// Call before start().
enum class ChildPriority
{
    Normal,
    Background,
    Idle
};
void prepareChild(QProcess &process, ChildPriority priority = ChildPriority::Normal);

// Stopping a child goes the same way everywhere:
// 1. its quit key (such as "q") is written to its standard input, when it
//    has one;
// 2. it gets `graceMs` to end by itself (to close its file, say);
// 3. its process group gets SIGTERM, so that whatever it started goes too;
// 4. after ChildTerminateWaitMs more, its process group gets SIGKILL.
// A step is skipped once the child has ended.
constexpr int ChildTerminateWaitMs = 3000;

// Starts the sequence on timers and returns. The caller hears
// QProcess::finished as usual. A call while a stop is under way does
// nothing; one for a child that does not run does nothing either.
void stopChild(QProcess &process, const QByteArray &key, int graceMs);

// The same sequence, waiting through each step; for destructors, and for
// callers that promise to have collected the child on return. It returns
// when the child has been collected, or ChildTerminateWaitMs after SIGKILL.
void stopChildAndWait(QProcess &process, const QByteArray &key, int graceMs);

class QString;
// Removes the folders in `parent` named by the id of a process that no
// longer runs: each program's own scratch folder, which a crash leaves.
void removeFoldersOfEndedPrograms(const QString &parent);
