#include "cli/StatusLine.h"

#include <cstdio>
#include <unistd.h>

void StatusLine::show(const QString &text)
{
    const QByteArray bytes = "\r" + text.toLocal8Bit() + "\033[K";
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
    m_shown = true;
}

void StatusLine::clear()
{
    if (!m_shown)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    m_shown = false;
}

bool StatusLine::isWanted()
{
    return ::isatty(STDERR_FILENO) == 1;
}
