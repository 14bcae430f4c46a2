#include "IdentityDisplay.h"

#include "Codecs.h"
#include "Packets.h"

#include <QLocale>

using namespace Codecs;

namespace {

// Characters whose codes are the bytes, up to the first zero byte.
QString bytesAsText(const quint8 *bytes, int count)
{
    const char *text = reinterpret_cast<const char *>(bytes);
    return QString::fromLatin1(text, qsizetype(qstrnlen(text, uint(count))));
}

} // namespace

QString FiscalMemoryText(const data_132 &identity)
{
    const auto &f = identity.fisc_ser_num;
    QString text = bytesAsText(f.data(), 2);
    if (text.size() < 2)
        return text; // a zero byte ends the text
    for (int i = 2; i < 5; ++i)
        text += QString::asprintf("%2.2X", f[std::size_t(i)]);
    return text;
}

IdentityTexts IdentityDisplay(const data_132 &identity)
{
    IdentityTexts t;
    const QDate date = DecodeDateVuze(SwpEndianW(identity.init_date));
    t.initDate = QLocale::system().toString(date, QLocale::ShortFormat);
    t.initTime = DecodeTimeVuze(SwpEndianW(identity.init_time)).toString(QStringLiteral("HH:mm:ss"));
    t.fiscalMemory = FiscalMemoryText(identity);
    t.clientNumber = bytesAsText(identity.jour_ser_num.data(), 13);
    t.storedDocuments = QString::number(identity.doc_count);
    t.freeMemory = QString::number(SwpEndianDW(identity.free_mem));
    return t;
}
