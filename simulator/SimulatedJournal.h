#pragma once

#include "JournalGenerator.h"
#include "protocol/Packets.h"

#include <QByteArray>

#include <optional>

// The journal device's own behaviour: its store and its answers to the
// command set, one request in, at most one 255-byte frame out.
class SimulatedJournal
{
public:
    struct Identity
    {
        quint16 initDate = 0xFFFF;
        quint16 initTime = 0xFFFF;
        std::array<quint8, 5> fiscalMemory{}; // two characters, three BCD bytes
        std::array<quint8, 13> clientNumber{};
    };

    static constexpr quint32 MemoryCapacity = 32u * 1024u * 1024u;
    static constexpr quint8 ErrorStatus = 0; // any status but 1 marks an error frame

    SimulatedJournal(quint64 seed, DeviceType type, quint32 documents);

    // The answer to one request, and how long after the request it is ready.
    struct Reply
    {
        AnswerFrame frame{};
        qint64 delayUs = 0;
    };
    // No reply for a malformed request or an unknown command.
    std::optional<Reply> handle(const QByteArray &request);

    const Identity &identity() const { return m_identity; }
    void setIdentity(const Identity &identity) { m_identity = identity; }
    quint32 documentCount() const { return m_documents; }
    const JournalGenerator &generator() const { return m_generator; }
    // The document, made once for the requests that follow each other about
    // it (its information, then its lines in several requests); valid until
    // the next call.
    const SimDocument &document(quint32 i) const;

    // How long an erase takes before it answers.
    void setEraseTimeUs(qint64 us) { m_eraseTimeUs = us; }

    static AnswerFrame successFrame(quint8 command, const QByteArray &payload);
    static AnswerFrame errorFrame(quint8 command, quint8 code);

private:
    Reply journalRange(const quint8 *p);
    Reply documentInfo(quint32 number);
    Reply documentLines(quint32 number, quint16 first, quint8 count);
    Reply serviceLines(quint32 number);
    Reply identityAnswer() const;
    Reply initialise(const quint8 *p, int n);
    quint32 usedMemory() const;

    JournalGenerator m_generator;
    quint32 m_configuredDocuments;
    quint32 m_documents;
    Identity m_identity;
    qint64 m_eraseTimeUs = 1'500'000;
    // The last document made, since its lines are asked for several times in a row.
    mutable std::optional<SimDocument> m_cached;
};
