#pragma once

#include <QString>
#include <cstdio>

// Writes `text` and a line feed on `stream`, flushed.
void writeLine(std::FILE *stream, const QString &text);

// The one line on stderr that shows how the work goes, redrawn in place; only
// on a terminal. Lines printed meanwhile clear it first, so that they stand
// alone.
class StatusLine
{
public:
    StatusLine();

    bool isTerminal() const { return m_enabled; }
    void draw(const QString &text);
    void clear();
    // Prints `text` and a line feed on `stream`, flushed.
    void print(std::FILE *stream, const QString &text);

private:
    bool m_enabled;
    bool m_drawn = false;
};
