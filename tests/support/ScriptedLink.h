#pragma once

#include "protocol/Packets.h"
#include "protocol/SIUSBXP.h"

#include <QByteArray>

#include <cstring>
#include <deque>
#include <optional>
#include <vector>

// A journal link whose answers are written by the test: every write takes
// the next scripted reply (a frame, or nothing). It records the requests and
// can refuse the waiting-bytes query, which the simulator never does.
class ScriptedLink final : public SIUSBXP
{
public:
    std::deque<std::optional<AnswerFrame>> replies;
    std::vector<QByteArray> requests;
    bool refuseQueueQuery = false;
    int reads = 0;

    SI_STATUS SI_GetNumDevices(quint32 *n) override
    {
        *n = 1;
        return SI_SUCCESS;
    }
    SI_STATUS SI_GetProductString(quint32, char *s, quint8) override
    {
        std::strcpy(s, "e_journal_v01");
        return SI_SUCCESS;
    }
    SI_STATUS SI_Open(quint32, SI_HANDLE *h) override
    {
        *h = 7;
        return SI_SUCCESS;
    }
    SI_STATUS SI_Close(SI_HANDLE) override { return SI_SUCCESS; }
    SI_STATUS SI_SetTimeouts(quint32, quint32) override { return SI_SUCCESS; }
    SI_STATUS SI_FlushBuffers(SI_HANDLE, quint8, quint8) override { return SI_SUCCESS; }
    SI_STATUS SI_Write(SI_HANDLE, const void *b, quint32 n, quint32 *written) override
    {
        requests.emplace_back(static_cast<const char *>(b), qsizetype(n));
        *written = n;
        if (!replies.empty()) {
            if (replies.front())
                m_waiting.push_back(*replies.front());
            replies.pop_front();
        }
        return SI_SUCCESS;
    }
    SI_STATUS SI_CheckRXQueue(SI_HANDLE, quint32 *n, quint32 *s) override
    {
        *s = 0;
        if (refuseQueueQuery)
            return SI_DEVICE_IO_FAILED;
        *n = quint32(m_waiting.size()) * AnswerFrameSize;
        return SI_SUCCESS;
    }
    SI_STATUS SI_Read(SI_HANDLE, void *b, quint32 n, quint32 *got) override
    {
        ++reads;
        *got = 0;
        if (m_waiting.empty() || n != AnswerFrameSize)
            return SI_READ_TIMED_OUT;
        std::memcpy(b, m_waiting.front().data(), AnswerFrameSize);
        m_waiting.pop_front();
        *got = AnswerFrameSize;
        return SI_SUCCESS;
    }

private:
    std::deque<AnswerFrame> m_waiting;
};
