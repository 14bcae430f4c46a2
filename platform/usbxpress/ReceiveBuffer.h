#pragma once

#include <QByteArray>

#include <chrono>
#include <condition_variable>
#include <mutex>

// The bytes the bridge chip has sent and nobody has read yet. The USB event
// thread fills it; SI_CheckRXQueue and SI_Read take from it on the window's
// thread.
class ReceiveBuffer
{
public:
    // More than this many unread bytes means the reader has stopped reading;
    // further bytes are dropped and the overrun is reported.
    static constexpr qsizetype Capacity = 64 * 1024;

    void deliver(const char *bytes, qsizetype count);
    qsizetype available() const;
    bool overrun() const;
    // Takes up to count bytes, waiting up to timeout for all of them to be
    // there; returns what it took (fewer on a time-out or when the device
    // went away).
    QByteArray take(qsizetype count, std::chrono::milliseconds timeout);
    void clear();
    // The device is gone: wake any reader at once.
    void close();
    // Something a waiting reader must hear of (a halted endpoint): wake it
    // now, or the next reader if none is waiting.
    void interrupt();

private:
    mutable std::mutex m_mutex;
    std::condition_variable m_arrived;
    QByteArray m_bytes;
    bool m_overrun = false;
    bool m_closed = false;
    bool m_interrupted = false;
};
