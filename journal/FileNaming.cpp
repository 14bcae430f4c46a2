#include "FileNaming.h"

QString SanitizedFileComponent(const QString &deviceText)
{
    QString out = deviceText;
    for (QChar &c : out) {
        const char16_t u = c.unicode();
        const bool keep = (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
        if (!keep)
            c = QLatin1Char('_');
    }
    return out;
}

QString JournalFileName(const QString &fiscalMemory)
{
    return QStringLiteral("Original_") + SanitizedFileComponent(fiscalMemory) + QStringLiteral(".txt");
}

QString DecodedFileName(const QString &fiscalMemory)
{
    return QStringLiteral("Bosnian_") + SanitizedFileComponent(fiscalMemory) + QStringLiteral(".txt");
}

QString DocumentIndexFileName(const QString &fiscalMemory)
{
    return QStringLiteral("Original_") + SanitizedFileComponent(fiscalMemory) + QStringLiteral(".idx");
}
