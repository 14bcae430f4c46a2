#include "Packets.h"

#include "Codecs.h"
#include "CodecErrors.h"

#include <algorithm>
#include <cstring>

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
    explicit WireImage(int size)
        : m_bytes(std::size_t(size), 0)
    {
    }

    // Host-order fields travel most significant byte first.
    void putBE(int at, quint32 value, int width)
    {
        for (int i = 0; i < width; ++i)
            m_bytes[std::size_t(at + i)] = quint8(value >> (8 * (width - 1 - i)));
    }
    quint32 getBE(int at, int width) const
    {
        quint32 v = 0;
        for (int i = 0; i < width; ++i)
            v = (v << 8) | m_bytes[std::size_t(at + i)];
        return v;
    }
    // Device-order fields hold the wire bytes as a little-endian host reads them.
    void putLE(int at, quint32 value, int width)
    {
        for (int i = 0; i < width; ++i)
            m_bytes[std::size_t(at + i)] = quint8(value >> (8 * i));
    }
    quint32 getLE(int at, int width) const
    {
        quint32 v = 0;
        for (int i = width - 1; i >= 0; --i)
            v = (v << 8) | m_bytes[std::size_t(at + i)];
        return v;
    }
    template<std::size_t N>
    void putBytes(int at, const std::array<quint8, N> &a)
    {
        std::copy(a.begin(), a.end(), m_bytes.begin() + at);
    }
    template<std::size_t N>
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
    w.putLE(0, r.start_date, 2);
    w.putLE(2, r.start_time, 2);
    w.putLE(4, r.end_date, 2);
    w.putLE(6, r.end_time, 2);
    w.putBE(8, r.first_doc, 4);
    w.putBE(12, r.last_doc, 4);
    w.putLE(16, r.rows_num, 4);
    w.overlay(frame);
    r.start_date = quint16(w.getLE(0, 2));
    r.start_time = quint16(w.getLE(2, 2));
    r.end_date = quint16(w.getLE(4, 2));
    r.end_time = quint16(w.getLE(6, 2));
    r.first_doc = w.getBE(8, 4);
    r.last_doc = w.getBE(12, 4);
    r.rows_num = w.getLE(16, 4);
}

void DecodeAnswer(const AnswerFrame &frame, data_123 &r)
{
    WireImage w(data_123::RecordSize);
    w.putBE(0, r.doc_num, 4);
    w.putLE(4, r.date, 2);
    w.putLE(6, r.time, 2);
    w.putBE(8, r.row_count, 2);
    w.putBE(10, r.sys_count, 1);
    w.putBE(11, r.doc_type, 1);
    w.overlay(frame);
    r.doc_num = w.getBE(0, 4);
    r.date = quint16(w.getLE(4, 2));
    r.time = quint16(w.getLE(6, 2));
    r.row_count = quint16(w.getBE(8, 2));
    r.sys_count = quint8(w.getBE(10, 1));
    r.doc_type = quint8(w.getBE(11, 1));
}

void DecodeAnswer(const AnswerFrame &frame, data_124 &r)
{
    WireImage w(data_124::RecordSize);
    w.putBE(0, r.doc_num, 4);
    w.putBE(4, r.start_row, 2);
    w.putBE(6, r.row_count, 1);
    w.putBytes(data_124::HeaderSize, r.content);
    const int laid = w.overlay(frame);
    r.doc_num = w.getBE(0, 4);
    r.start_row = quint16(w.getBE(4, 2));
    r.row_count = quint8(w.getBE(6, 1));
    w.getBytes(data_124::HeaderSize, r.content);
    r.content_len = std::max(0, laid - data_124::HeaderSize);
}

void DecodeAnswer(const AnswerFrame &frame, data_130 &r)
{
    const quint8 *p = FramePayload(frame);
    r.doc_num = quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
    const int text = std::clamp(FramePayloadCarried(frame) - 4, 0, data_130::ContentSize);
    std::copy_n(p + 4, text, r.content.begin());
    r.content_len = text;
}

void DecodeAnswer(const AnswerFrame &frame, data_132 &r)
{
    // Field by field from fixed payload offsets; the frame always holds them.
    const quint8 *p = FramePayload(frame);
    r.init_date = quint16(p[0] | p[1] << 8);
    r.init_time = quint16(p[2] | p[3] << 8);
    std::copy_n(p + 4, 5, r.fisc_ser_num.begin());
    std::copy_n(p + 9, 13, r.jour_ser_num.begin());
    r.doc_count = quint32(p[22]) << 24 | quint32(p[23]) << 16 | quint32(p[24]) << 8 | quint32(p[25]);
    r.free_mem = quint32(p[26]) | quint32(p[27]) << 8 | quint32(p[28]) << 16 | quint32(p[29]) << 24;
}

// ---- Builders -----------------------------------------------------------------

void get_info_initial(CommandQueue &Queue)
{
    Queue.push(newPacket(CmdIdentity, nullptr, 0));
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

bool Gen131(const QDateTime &ADate, const QDateTime &ATime, const QString &MemNum,
            const QString &JournalNum, CommandQueue &Queue)
{
    try {
        QByteArray payload;
        const quint16 date = EncodeDateVuze(ADate);
        const quint16 time = EncodeTimeVuze(ATime);
        payload.append(char(date >> 8)).append(char(date));
        payload.append(char(time >> 8)).append(char(time));
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
    auto put = [&](quint32 value, int width) {
        for (int i = width - 1; i >= 0; --i)
            payload[N++] = quint8(value >> (8 * i));
    };
    switch (cmd.Cmd) {
    case CmdJournalRange:
        put(cmd.BeginDate, 2);
        put(cmd.BeginTime, 2);
        put(cmd.EndDate, 2);
        put(cmd.EndTime, 2);
        break;
    case CmdDocumentInfo:
    case CmdServiceLines:
        put(quint32(cmd.DocNum), 4);
        break;
    case CmdDocumentLines:
        put(quint32(cmd.DocNum), 4);
        put(cmd.NumLine, 2);
        put(cmd.LineCount, 1);
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
