#pragma once

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
// the processor time the foreground work (a conversion) leaves.
// Call before start().
enum class ChildPriority
{
    Normal,
    Background
};
void prepareChild(QProcess &process, ChildPriority priority = ChildPriority::Normal);
