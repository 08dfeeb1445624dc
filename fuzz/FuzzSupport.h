#pragma once

// Helpers shared by the fuzz targets: libFuzzer hands each target a byte
// string; these cut it into the pieces a reader takes.

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstddef>
#include <cstdint>

inline QByteArray bytesOf(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// The bytes cut at every NUL: several texts from one input.
inline QList<QByteArray> piecesOf(const QByteArray &bytes)
{
    return bytes.split('\0');
}

// The bytes in reads of varying length, as a pipe delivers them: the first
// byte of each read gives its length (1 to 64).
inline QList<QByteArray> readsOf(const QByteArray &bytes)
{
    QList<QByteArray> reads;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype length = 1 + static_cast<uchar>(bytes[at]) % 64;
        reads << bytes.mid(at + 1, length);
        at += 1 + length;
    }
    return reads;
}
