#include "settings/IniFile.h"

#include "process/ResultFile.h"

#include <QFile>
#include <QStringList>
#include <optional>

namespace {

constexpr int ReadLimit = 127;
constexpr int WriteLimit = 128;

QStringList readLines(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QString text = QString::fromUtf8(f.readAll());
    // Editors may leave one or more byte order marks; the writer drops them
    // all, so the reader must too, or a rewrite could turn a line that was
    // not a header into one.
    int marks = 0;
    while (marks < text.size() && text.at(marks) == QChar(0xFEFF))
        ++marks;
    text.remove(0, marks);
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    // A final line feed yields one empty trailing piece that is not a line.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

std::optional<QString> sectionName(const QString &line)
{
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']')))
        return t.mid(1, t.size() - 2).trimmed();
    return std::nullopt;
}

struct KeyLine
{
    QString key;
    QString value;
};

std::optional<KeyLine> keyLine(const QString &line)
{
    const QString t = line.trimmed();
    if (t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#')))
        return std::nullopt;
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq < 0)
        return std::nullopt;
    return KeyLine{line.left(eq).trimmed(), line.mid(eq + 1)};
}

// A value written as "/data/out" or '/data/out' means /data/out, as the
// profile functions of other systems read it.
QString unquoted(const QString &value)
{
    const bool quoted = value.size() >= 2 && value.front() == value.back() &&
                        (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''));
    return quoted ? value.mid(1, value.size() - 2) : value;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index range [begin, end) of the lines inside the first section named
// `section`, header excluded; begin is -1 when there is no such section.
std::pair<int, int> findSection(const QStringList &lines, const QString &section)
{
    int begin = -1;
    for (int i = 0; i < lines.size(); ++i) {
        const auto name = sectionName(lines[i]);
        if (!name)
            continue;
        if (begin >= 0)
            return {begin, i};
        if (sameName(*name, section))
            begin = i + 1;
    }
    return {begin, static_cast<int>(lines.size())};
}

} // namespace

QString ReadIniValue(const QString &file, const QString &section, const QString &key)
{
    const QStringList lines = readLines(file);
    const auto [begin, end] = findSection(lines, section);
    if (begin < 0)
        return {};
    for (int i = begin; i < end; ++i) {
        const auto kv = keyLine(lines[i]);
        if (kv && sameName(kv->key, key))
            return unquoted(kv->value.trimmed()).left(ReadLimit).trimmed();
    }
    return {};
}

bool WriteIniValue(const QString &file, const QString &section, const QString &key,
                   const QString &value)
{
    QString clean = value;
    clean.replace(QLatin1String("\r\n"), QLatin1String(" "));
    clean.replace(QLatin1Char('\r'), QLatin1Char(' '));
    clean.replace(QLatin1Char('\n'), QLatin1Char(' '));
    clean.truncate(WriteLimit);

    QStringList lines = readLines(file);
    const auto [begin, end] = findSection(lines, section);
    if (begin < 0) {
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(key + QLatin1Char('=') + clean);
    } else {
        bool replaced = false;
        int lastContent = begin - 1;
        for (int i = begin; i < end; ++i) {
            if (!lines[i].trimmed().isEmpty())
                lastContent = i;
            const auto kv = keyLine(lines[i]);
            if (kv && sameName(kv->key, key)) {
                lines[i] = kv->key + QLatin1Char('=') + clean;
                replaced = true;
                break;
            }
        }
        if (!replaced)
            lines.insert(lastContent + 1, key + QLatin1Char('=') + clean);
    }

    const QByteArray data = (lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8();
    return saveWholeFile(file, data).isEmpty();
}
