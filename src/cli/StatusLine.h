#pragma once

#include <QString>

// A line on standard error that is redrawn in place (progress, counters).
// Whoever prints anything else clears it first.
class StatusLine
{
public:
    void show(const QString &text);
    void clear();

    // True when standard error is a terminal, the only place the line goes.
    static bool isWanted();

private:
    bool m_shown = false;
};
