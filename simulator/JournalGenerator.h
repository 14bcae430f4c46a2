#pragma once

#include <QByteArray>
#include <QDate>

#include "protocol/ExchangeState.h"

#include <vector>

constexpr int JournalLineWidth(DeviceType type)
{
    return SettingsFor(type).LineWidth;
}

// One document of the simulated journal, as the device stores it.
struct SimDocument
{
    quint32 number = 0;
    quint16 dateWord = 0;
    quint16 timeWord = 0;
    quint8 type = 0;               // 1 receipt, 2 daily report, 3 service printout
    std::vector<QByteArray> lines; // each exactly the device's line width, device codes
    QByteArray serviceText;        // device codes; empty when the document has none
};

// Makes a realistic journal from a seed. Document i is a pure function of the
// seed, the device type and i, so a journal of any size costs no memory and
// the same seed always gives the same journal.
class JournalGenerator
{
public:
    JournalGenerator(quint64 seed, DeviceType type);

    DeviceType deviceType() const { return m_type; }
    int lineWidth() const { return JournalLineWidth(m_type); }

    // Date and time words of document i; they never decrease with i.
    quint16 dateWord(quint32 i) const;
    quint16 timeWord(quint32 i) const;
    SimDocument document(quint32 i) const;

    // The day of the journal's first document.
    QDate firstDay() const;

private:
    QDate dayOf(quint32 i) const;
    int minuteOf(quint32 i) const;
    quint64 hash(quint64 a, quint64 b = 0) const;

    void receipt(SimDocument &d, quint32 i) const;
    void dailyReport(SimDocument &d, quint32 i) const;
    void servicePrintout(SimDocument &d, quint32 i) const;

    quint64 m_seed;
    DeviceType m_type;
    int m_docsPerDay;
    // Lines every receipt of this journal prints alike, encoded once.
    std::vector<QByteArray> m_receiptHead; // shop, street, JIB
    std::vector<QByteArray> m_itemLines;   // one for each article
};

// Device codes of a text, for writing journal content; characters the device
// set lacks become '?'.
QByteArray EncodeDeviceText(const QString &text);
