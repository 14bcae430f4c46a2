#pragma once

#include "protocol/Packets.h"

#include <QByteArray>

#include <initializer_list>

// Answer frames for tests, laid out by hand so the tests do not lean on the
// simulator they also check.
inline AnswerFrame MakeFrame(quint8 command, std::initializer_list<int> payload, quint8 status = 1,
                             int lengthField = 255)
{
    AnswerFrame f{};
    f[0] = quint8(lengthField >> 8);
    f[1] = quint8(lengthField);
    f[2] = status;
    f[3] = command;
    f[4] = quint8(payload.size());
    int i = 5;
    for (int b : payload)
        f[std::size_t(i++)] = quint8(b);
    return f;
}

inline AnswerFrame MakeFrame(quint8 command, const QByteArray &payload, int payloadLengthField = -1)
{
    AnswerFrame f{};
    f[0] = 0;
    f[1] = 255;
    f[2] = 1;
    f[3] = command;
    f[4] = quint8(payloadLengthField >= 0 ? payloadLengthField : payload.size());
    for (int i = 0; i < payload.size() && i < AnswerPayloadCapacity; ++i)
        f[std::size_t(5 + i)] = quint8(payload[i]);
    return f;
}

// An error frame: status not 1, the code in byte 6.
inline AnswerFrame ErrorFrame(quint8 command, quint8 code)
{
    return MakeFrame(command, std::initializer_list<int>{0, code}, 0);
}

inline QByteArray Hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}
