#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <array>
#include <cstddef>
#include <deque>
#include <memory>

// Command codes of the journal protocol.
enum JournalCommand : quint8 {
    CmdJournalRange = 122,  // first and last document of a date-time range
    CmdDocumentInfo = 123,  // header of one document
    CmdDocumentLines = 124, // lines of one document
    CmdServiceLines = 130,  // service text of one document
    CmdInitialise = 131,
    CmdIdentity = 132,
    CmdErase = 254,
    CmdGenerate = 255,
};

constexpr int ShortDataSize = 64;
constexpr int RequestHeaderSize = 5;
constexpr int MaxRequestPayload = ShortDataSize - RequestHeaderSize; // 59

using ShortData = std::array<quint8, ShortDataSize>;

// One request waiting in the command queue.
struct Tusb_cmd
{
    ShortData data{};
    bool send_req = false;
    quint8 ack_received = 0;
    quint8 answer_required = 0;

    int size() const { return data[0]; }
    quint8 command() const { return data[3]; }
    QByteArray bytes() const { return QByteArray(reinterpret_cast<const char *>(data.data()), data[0]); }
};

using Pusb_cmd = std::unique_ptr<Tusb_cmd>;

// The first-in first-out queue of packets for the exchange engine. It owns
// every packet from the builder's push until the engine has written it.
class CommandQueue
{
public:
    void push(Pusb_cmd packet) { m_packets.push_back(std::move(packet)); }
    // Goes out before everything queued (the identity after a reconnection).
    void pushFront(Pusb_cmd packet) { m_packets.push_front(std::move(packet)); }
    Pusb_cmd pop();
    bool empty() const { return m_packets.empty(); }
    int size() const { return int(m_packets.size()); }
    const Tusb_cmd &at(int i) const { return *m_packets.at(std::size_t(i)); }
    void clear() { m_packets.clear(); }

private:
    std::deque<Pusb_cmd> m_packets;
};

// One journal request of a search.
struct TCmd
{
    quint8 Cmd = 0;
    qint32 DocNum = 0;
    quint16 NumLine = 0;
    quint8 LineCount = 0;
    quint16 BeginDate = 0;
    quint16 EndDate = 0;
    quint16 BeginTime = 0;
    quint16 EndTime = 0;
};

// ---- Answer frames ----------------------------------------------------------

constexpr int AnswerFrameSize = 255;
constexpr int AnswerHeaderSize = 5;
constexpr int AnswerPayloadCapacity = AnswerFrameSize - AnswerHeaderSize; // 250
constexpr quint8 AnswerStatusSuccess = 1;

using AnswerFrame = std::array<quint8, AnswerFrameSize>;

inline int FrameLength(const AnswerFrame &f)
{
    return f[0] * 256 + f[1];
}
inline quint8 FrameStatus(const AnswerFrame &f)
{
    return f[2];
}
inline quint8 FrameCommand(const AnswerFrame &f)
{
    return f[3];
}
inline quint8 FramePayloadLength(const AnswerFrame &f)
{
    return f[4];
}
inline quint8 FrameErrorCode(const AnswerFrame &f)
{
    return f[6];
}
// The payload bytes a frame can really carry: L, cut to the frame.
inline int FramePayloadCarried(const AnswerFrame &f)
{
    return qMin<int>(f[4], AnswerPayloadCapacity);
}
inline const quint8 *FramePayload(const AnswerFrame &f)
{
    return f.data() + AnswerHeaderSize;
}

// Answer records. Fields marked "device order" keep the journal's byte order
// after decoding (as a little-endian host reads the wire bytes) and are
// swapped where they are used; the others are plain numbers.

struct data_122
{
    quint16 start_date = 0; // device order
    quint16 start_time = 0; // device order
    quint16 end_date = 0;   // device order
    quint16 end_time = 0;   // device order
    quint32 first_doc = 0;
    quint32 last_doc = 0;
    quint32 rows_num = 0; // device order
    static constexpr int RecordSize = 20;
};

struct data_123
{
    quint32 doc_num = 0;
    quint16 date = 0; // device order
    quint16 time = 0; // device order
    quint16 row_count = 0;
    quint8 sys_count = 0;
    quint8 doc_type = 0;
    static constexpr int RecordSize = 12;
};

struct data_124
{
    static constexpr int ContentSize = 249;
    static constexpr int HeaderSize = 7;
    static constexpr int RecordSize = HeaderSize + ContentSize;
    quint32 doc_num = 0;
    quint16 start_row = 0;
    quint8 row_count = 0;
    std::array<quint8, ContentSize> content{};
    // Content bytes that the last answer really carried. Bytes past them are
    // left over from earlier answers and must never become journal lines.
    int content_len = 0;
};

struct data_130
{
    static constexpr int ContentSize = 124;
    quint32 doc_num = 0; // device order
    std::array<quint8, ContentSize> content{};
    int content_len = 0;
};

struct data_132
{
    quint16 init_date = 0; // device order
    quint16 init_time = 0; // device order
    std::array<quint8, 5> fisc_ser_num{};
    std::array<quint8, 15> jour_ser_num{};
    quint32 doc_count = 0;
    quint32 free_mem = 0; // device order
};

// Decoders: fill the record from a success frame's payload. A payload longer
// than its record is cut; a shorter one leaves the rest of the record as it was.
void DecodeAnswer(const AnswerFrame &frame, data_122 &record);
void DecodeAnswer(const AnswerFrame &frame, data_123 &record);
void DecodeAnswer(const AnswerFrame &frame, data_124 &record);
void DecodeAnswer(const AnswerFrame &frame, data_130 &record);
void DecodeAnswer(const AnswerFrame &frame, data_132 &record);

// ---- Builders ---------------------------------------------------------------

void get_info_initial(CommandQueue &Queue);
// The identity request ahead of everything queued.
void get_info_first(CommandQueue &Queue);
void erase_flash(CommandQueue &Queue);
void gen_flash(CommandQueue &Queue);
// payload must hold N bytes, N <= MaxRequestPayload.
void init_flash(const quint8 *payload, int N, CommandQueue &Queue);

// Queues a fresh identity request; always succeeds.
bool Gen132(CommandQueue &Queue);

// Queues an initialisation request. False, with nothing queued, when the
// fiscal memory number is empty, its digit part holds a non-digit, or the
// request would not fit a packet.
bool Gen131(const QDateTime &ADate, const QDateTime &ATime, const QString &MemNum, const QString &JournalNum,
            CommandQueue &Queue);

// Lays out the request of a search entry (122, 123, 124, 130) in packet.
void BuildCmdRequest(const TCmd &cmd, Tusb_cmd &packet);

// The request bytes a builder would produce for a code and payload, for the
// peers (simulator, tests) that need them without a queue.
QByteArray RequestBytes(quint8 code, const QByteArray &payload);
