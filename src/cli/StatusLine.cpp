#include "cli/StatusLine.h"

#include <unistd.h>

StatusLine::StatusLine() : m_enabled(::isatty(STDERR_FILENO) == 1) {}

void StatusLine::draw(const QString &text)
{
    if (!m_enabled)
        return;
    const QByteArray bytes = "\r" + text.toLocal8Bit() + "\033[K";
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
    m_drawn = true;
}

void StatusLine::clear()
{
    if (!m_drawn)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    m_drawn = false;
}

void StatusLine::print(std::FILE *stream, const QString &text)
{
    clear();
    writeLine(stream, text);
}

void writeLine(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}
