#include "ReceiveBuffer.h"

void ReceiveBuffer::deliver(const char *bytes, qsizetype count)
{
    {
        const std::lock_guard lock(m_mutex);
        const qsizetype room = Capacity - m_bytes.size();
        if (count > room) {
            m_overrun = true;
            count = qMax<qsizetype>(0, room);
        }
        m_bytes.append(bytes, count);
    }
    m_arrived.notify_all();
}

qsizetype ReceiveBuffer::available() const
{
    const std::lock_guard lock(m_mutex);
    return m_bytes.size();
}

bool ReceiveBuffer::overrun() const
{
    const std::lock_guard lock(m_mutex);
    return m_overrun;
}

QByteArray ReceiveBuffer::take(qsizetype count, std::chrono::milliseconds timeout)
{
    std::unique_lock lock(m_mutex);
    m_arrived.wait_for(lock, timeout, [&] { return m_closed || m_interrupted || m_bytes.size() >= count; });
    m_interrupted = false;
    const qsizetype n = qMin(count, m_bytes.size());
    QByteArray out = m_bytes.left(n);
    m_bytes.remove(0, n);
    return out;
}

void ReceiveBuffer::clear()
{
    const std::lock_guard lock(m_mutex);
    m_bytes.clear();
    m_overrun = false;
}

void ReceiveBuffer::close()
{
    {
        const std::lock_guard lock(m_mutex);
        m_closed = true;
    }
    m_arrived.notify_all();
}

void ReceiveBuffer::interrupt()
{
    {
        const std::lock_guard lock(m_mutex);
        m_interrupted = true;
    }
    m_arrived.notify_all();
}
