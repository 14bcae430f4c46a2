// Document-lines answers of any content cut into lines and decoded.
#include "protocol/ExchangeState.h"
#include "FuzzSupport.h"
#include "journal/LineDecoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int width = SettingsFor((data[0] & 1) ? DeviceType::FiscalPrinter : DeviceType::CashRegister).LineWidth;
    const AnswerFrame frame = FrameFrom(data + 1, size - 1);
    data_124 answer;
    DecodeAnswer(frame, answer);
    const QList<QByteArray> lines = SplitJournalRecord(answer, width);
    FUZZ_CHECK(lines.size() <= answer.row_count);
    FUZZ_CHECK(qsizetype(lines.size()) * width <= answer.content_len);
    for (const QByteArray &line : lines) {
        FUZZ_CHECK(line.size() == width);
        QByteArray utf8;
        AppendDecodedLineUtf8(utf8, line, width);
        FUZZ_CHECK(QString::fromUtf8(utf8) == ConvertJournalLine(line, width));
    }
    return 0;
}
