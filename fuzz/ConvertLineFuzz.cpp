// Any raw line decoded both ways; the two must agree.
#include "protocol/ExchangeState.h"
#include "FuzzSupport.h"
#include "journal/LineDecoding.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const int width = SettingsFor((data[0] & 1) ? DeviceType::FiscalPrinter : DeviceType::CashRegister).LineWidth;
    const QByteArrayView raw(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString decoded = ConvertJournalLine(raw, width);
    QByteArray utf8;
    AppendDecodedLineUtf8(utf8, raw, width);
    FUZZ_CHECK(QString::fromUtf8(utf8) == decoded);
    FUZZ_CHECK(decoded.size() >= raw.size() || decoded.size() == width);
    return 0;
}
