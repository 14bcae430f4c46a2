#include "Packets.h"

#include "Codecs.h"
#include "CodecErrors.h"
#include "WireOrder.h"

#include <algorithm>
#include <cstring>

using namespace Codecs;

Pusb_cmd CommandQueue::pop()
{
    if (m_packets.empty())
        return nullptr;
    Pusb_cmd packet = std::move(m_packets.front());
    m_packets.pop_front();
    return packet;
}

// ---- Byte access --------------------------------------------------------------

namespace {

// A record's bytes as they stand on the wire. Decoding lays the payload over
// this image, so bytes the payload does not reach keep the record's values.
class WireImage
{
public:
    explicit WireImage(int size) : m_bytes(std::size_t(size), 0) {}

    // Host-order fields travel most significant byte first.
    template <class T>
    void putBE(int at, T value)
    {
        WriteBE<T>(m_bytes.data() + at, value);
    }
    template <class T>
    T getBE(int at) const
    {
        return ReadBE<T>(m_bytes.data() + at);
    }
    // Device-order fields hold the wire bytes as a little-endian host reads them.
    template <class T>
    void putLE(int at, T value)
    {
        WriteLE<T>(m_bytes.data() + at, value);
    }
    template <class T>
    T getLE(int at) const
    {
        return ReadLE<T>(m_bytes.data() + at);
    }
    template <std::size_t N>
    void putBytes(int at, const std::array<quint8, N> &a)
    {
        std::copy(a.begin(), a.end(), m_bytes.begin() + at);
    }
    template <std::size_t N>
    void getBytes(int at, std::array<quint8, N> &a) const
    {
        std::copy_n(m_bytes.begin() + at, N, a.begin());
    }

    // Lays the frame's payload over the image; returns the bytes laid.
    int overlay(const AnswerFrame &frame)
    {
        const int n = std::min<int>(FramePayloadCarried(frame), int(m_bytes.size()));
        std::copy_n(FramePayload(frame), n, m_bytes.begin());
        return n;
    }

private:
    std::vector<quint8> m_bytes;
};

void layOut(Tusb_cmd &packet, quint8 code, const quint8 *payload, int N)
{
    packet.data = {};
    packet.data[2] = 1;
    packet.data[3] = code;
    packet.data[4] = quint8(N);
    if (N > 0)
        std::memcpy(packet.data.data() + RequestHeaderSize, payload, std::size_t(N));
    packet.data[0] = quint8(RequestHeaderSize + N);
    packet.answer_required = code;
    packet.send_req = true;
    packet.ack_received = 0;
}

Pusb_cmd newPacket(quint8 code, const quint8 *payload, int N)
{
    auto packet = std::make_unique<Tusb_cmd>();
    layOut(*packet, code, payload, N);
    return packet;
}

} // namespace

// ---- Decoders -----------------------------------------------------------------

void DecodeAnswer(const AnswerFrame &frame, data_122 &r)
{
    WireImage w(data_122::RecordSize);
    w.putLE<quint16>(0, r.start_date);
    w.putLE<quint16>(2, r.start_time);
    w.putLE<quint16>(4, r.end_date);
    w.putLE<quint16>(6, r.end_time);
    w.putBE<quint32>(8, r.first_doc);
    w.putBE<quint32>(12, r.last_doc);
    w.putLE<quint32>(16, r.rows_num);
    w.overlay(frame);
    r.start_date = w.getLE<quint16>(0);
    r.start_time = w.getLE<quint16>(2);
    r.end_date = w.getLE<quint16>(4);
    r.end_time = w.getLE<quint16>(6);
    r.first_doc = w.getBE<quint32>(8);
    r.last_doc = w.getBE<quint32>(12);
    r.rows_num = w.getLE<quint32>(16);
}

void DecodeAnswer(const AnswerFrame &frame, data_123 &r)
{
    WireImage w(data_123::RecordSize);
    w.putBE<quint32>(0, r.doc_num);
    w.putLE<quint16>(4, r.date);
    w.putLE<quint16>(6, r.time);
    w.putBE<quint16>(8, r.row_count);
    w.putBE<quint8>(10, r.sys_count);
    w.putBE<quint8>(11, r.doc_type);
    w.overlay(frame);
    r.doc_num = w.getBE<quint32>(0);
    r.date = w.getLE<quint16>(4);
    r.time = w.getLE<quint16>(6);
    r.row_count = w.getBE<quint16>(8);
    r.sys_count = w.getBE<quint8>(10);
    r.doc_type = w.getBE<quint8>(11);
}

void DecodeAnswer(const AnswerFrame &frame, data_124 &r)
{
    WireImage w(data_124::RecordSize);
    w.putBE<quint32>(0, r.doc_num);
    w.putBE<quint16>(4, r.start_row);
    w.putBE<quint8>(6, r.row_count);
    w.putBytes(data_124::HeaderSize, r.content);
    const int laid = w.overlay(frame);
    r.doc_num = w.getBE<quint32>(0);
    r.start_row = w.getBE<quint16>(4);
    r.row_count = w.getBE<quint8>(6);
    w.getBytes(data_124::HeaderSize, r.content);
    r.content_len = std::max(0, laid - data_124::HeaderSize);
}

void DecodeAnswer(const AnswerFrame &frame, data_130 &r)
{
    const quint8 *p = FramePayload(frame);
    r.doc_num = ReadLE<quint32>(p);
    const int text = std::clamp(FramePayloadCarried(frame) - 4, 0, data_130::ContentSize);
    std::copy_n(p + 4, text, r.content.begin());
    r.content_len = text;
}

void DecodeAnswer(const AnswerFrame &frame, data_132 &r)
{
    // Field by field from fixed payload offsets; the frame always holds them.
    const quint8 *p = FramePayload(frame);
    r.init_date = ReadLE<quint16>(p);
    r.init_time = ReadLE<quint16>(p + 2);
    std::copy_n(p + 4, 5, r.fisc_ser_num.begin());
    std::copy_n(p + 9, 13, r.jour_ser_num.begin());
    r.doc_count = ReadBE<quint32>(p + 22);
    r.free_mem = ReadLE<quint32>(p + 26);
}

// ---- Builders -----------------------------------------------------------------

void get_info_initial(CommandQueue &Queue)
{
    Queue.push(newPacket(CmdIdentity, nullptr, 0));
}

void get_info_first(CommandQueue &Queue)
{
    Queue.pushFront(newPacket(CmdIdentity, nullptr, 0));
}

void erase_flash(CommandQueue &Queue)
{
    Queue.push(newPacket(CmdErase, nullptr, 0));
}

void gen_flash(CommandQueue &Queue)
{
    Queue.push(newPacket(CmdGenerate, nullptr, 0));
}

void init_flash(const quint8 *payload, int N, CommandQueue &Queue)
{
    Queue.push(newPacket(CmdInitialise, payload, std::clamp(N, 0, MaxRequestPayload)));
}

bool Gen132(CommandQueue &Queue)
{
    get_info_initial(Queue);
    return true;
}

bool Gen131(const QDateTime &ADate, const QDateTime &ATime, const QString &MemNum, const QString &JournalNum,
            CommandQueue &Queue)
{
    try {
        QByteArray payload;
        const quint16 date = EncodeDateVuze(ADate);
        const quint16 time = EncodeTimeVuze(ATime);
        AppendBE(payload, date);
        AppendBE(payload, time);
        if (MemNum.isEmpty())
            return false;
        payload.append(char(MemNum[0].unicode() & 0xFF));
        payload.append(MemNum.size() > 1 ? char(MemNum[1].unicode() & 0xFF) : '\0');
        payload.append(NumStringToBCD(MemNum.mid(2)));
        for (QChar c : JournalNum)
            payload.append(char(c.unicode() & 0xFF));
        // The window limits the entries; a caller that does not must still
        // never overrun the packet.
        if (payload.size() > MaxRequestPayload)
            return false;
        init_flash(reinterpret_cast<const quint8 *>(payload.constData()), int(payload.size()), Queue);
        return true;
    } catch (const CodecError &) {
        return false;
    }
}

void BuildCmdRequest(const TCmd &cmd, Tusb_cmd &packet)
{
    quint8 payload[8] = {};
    int N = 0;
    auto put = [&](auto value) {
        WriteBE(payload + N, value);
        N += int(sizeof value);
    };
    switch (cmd.Cmd) {
    case CmdJournalRange:
        put(cmd.BeginDate);
        put(cmd.BeginTime);
        put(cmd.EndDate);
        put(cmd.EndTime);
        break;
    case CmdDocumentInfo:
    case CmdServiceLines:
        put(quint32(cmd.DocNum));
        break;
    case CmdDocumentLines:
        put(quint32(cmd.DocNum));
        put(cmd.NumLine);
        put(cmd.LineCount);
        break;
    default:
        break;
    }
    layOut(packet, cmd.Cmd, payload, N);
}

QByteArray RequestBytes(quint8 code, const QByteArray &payload)
{
    const int N = std::min<int>(int(payload.size()), MaxRequestPayload);
    return newPacket(code, reinterpret_cast<const quint8 *>(payload.constData()), N)->bytes();
}
