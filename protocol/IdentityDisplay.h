#pragma once

#include <QString>

struct data_132;

// The six texts of the journal information, from an identity answer as the
// exchange stores it (dates, times and free memory still in the journal's
// byte order, the document count already a number).
struct IdentityTexts
{
    QString initDate;
    QString initTime;
    QString fiscalMemory;
    QString clientNumber;
    QString storedDocuments;
    QString freeMemory;
};

struct IdentityLabels
{
    static constexpr const char *InitDate = "Initialization date:";
    static constexpr const char *InitTime = "Initialization time:";
    static constexpr const char *FiscalMemory = "Fiscal memory No:";
    static constexpr const char *ClientNumber = "Client No:";
    static constexpr const char *StoredDocuments = "Stored documents:";
    static constexpr const char *FreeMemory = "Free memory:";
};

// Throws EConvertError when the initialisation date word names no real day.
IdentityTexts IdentityDisplay(const data_132 &identity);

// The fiscal memory number as the identity shows it: two characters, six digits.
QString FiscalMemoryText(const data_132 &identity);

// The year of the initialisation date; 2127 marks a journal never initialised.
constexpr int UninitialisedJournalYear = 2127;
