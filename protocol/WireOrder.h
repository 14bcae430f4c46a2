#pragma once

#include <QByteArray>
#include <QtEndian>

// The journal's wire carries multi-byte integers most significant byte
// first. Some decoded fields keep the device's order instead: they hold the
// wire bytes as this little-endian host reads them, and their readers swap
// them where they are used. One set of helpers serves the protocol and the
// simulated journal, so both sides of the wire agree by construction.

template <class T>
T ReadBE(const quint8 *p)
{
    return qFromBigEndian<T>(p);
}

template <class T>
T ReadLE(const quint8 *p)
{
    return qFromLittleEndian<T>(p);
}

template <class T>
void WriteBE(quint8 *p, T value)
{
    qToBigEndian<T>(value, p);
}

template <class T>
void WriteLE(quint8 *p, T value)
{
    qToLittleEndian<T>(value, p);
}

template <class T>
void AppendBE(QByteArray &out, T value)
{
    quint8 bytes[sizeof(T)];
    qToBigEndian<T>(value, bytes);
    out.append(reinterpret_cast<const char *>(bytes), qsizetype(sizeof(T)));
}
