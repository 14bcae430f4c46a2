#include "JournalGenerator.h"

#include "protocol/Codecs.h"
#include "protocol/DeviceCharset.h"

#include <QStringList>

using namespace Codecs;

namespace {

constexpr int OpeningMinute = 7 * 60;
constexpr int TradingMinutes = 13 * 60;

const QStringList Shops = {
    QStringLiteral("ПЕКАРА ЂУРЂЕВАК"), QStringLiteral("MARKET ČAČAK"), QStringLiteral("ТРГОВИНА ЈЕЛИЦА"),
    QStringLiteral("APOTEKA ŽIVOT"),   QStringLiteral("КАФАНА ЉУБИЧ"), QStringLiteral("BUREGDŽINICA ŠAR"),
};
const QStringList Streets = {
    QStringLiteral("Zmaja od Bosne 4"), QStringLiteral("Ферхадија 12"), QStringLiteral("Đure Đakovića 7"),
    QStringLiteral("Његошева 21"),      QStringLiteral("Titova 33"),    QStringLiteral("Šenoina 2"),
};
const QStringList Items = {
    QStringLiteral("HLJEB BIJELI"), QStringLiteral("МЛИЈЕКО 1Л"), QStringLiteral("KAFA 200G"),
    QStringLiteral("ŠEĆER 1KG"),    QStringLiteral("ЈОГУРТ"),     QStringLiteral("ČOKOLADA"),
    QStringLiteral("СОК ЈАБУКА"),   QStringLiteral("ĆEVAPI 10"),  QStringLiteral("ЊОКЕ"),
    QStringLiteral("DŽEM ŠLJIVA"),  QStringLiteral("ЂУВЕЧ"),      QStringLiteral("ŽVAKAĆE"),
};
const QStringList ServiceNotes = {
    QStringLiteral("SERVIS: PROMJENA PORESKIH STOPA E=17% K=0%"),
    QStringLiteral("СЕРВИС: ЗАМЈЕНА ТРАКЕ ШТАМПАЧА"),
    QStringLiteral("SERVIS: PROVJERA FISKALNE MEMORIJE, STANJE ISPRAVNO"),
    QStringLiteral("СЕРВИС: ПОДЕШАВАЊЕ САТА"),
};

// Amounts of the receipts ("24,42"); every amount here is at least 0. Made
// by hand because the simulated journal writes millions of them.
QString money(int cents)
{
    QString s = QString::number(cents / 100);
    const int rest = cents % 100;
    s += QLatin1Char(',');
    s += QLatin1Char(char('0' + rest / 10));
    s += QLatin1Char(char('0' + rest % 10));
    return s;
}

} // namespace

QByteArray EncodeDeviceText(const QString &text)
{
    QByteArray out(text.size(), Qt::Uninitialized);
    char *to = out.data();
    for (QChar c : text) {
        const int code = DeviceCodeFor(c);
        *to++ = code < 0 ? '?' : char(code);
    }
    return out;
}

namespace {

// Builds lines of exactly one device line width.
class LineWriter
{
public:
    LineWriter(std::vector<QByteArray> &lines, int width) : m_lines(lines), m_width(width) {}

    void raw(QByteArray bytes)
    {
        bytes.resize(m_width, ' ');
        m_lines.push_back(std::move(bytes));
    }
    void text(const QString &t) { raw(EncodeDeviceText(t)); }
    void centred(const QString &t)
    {
        const int pad = qMax(0, (m_width - int(t.size())) / 2);
        text(QString(pad, QLatin1Char(' ')) + t);
    }
    // Label on the left, amount against the right edge.
    void pair(const QString &left, const QString &right)
    {
        const int room = qMax(1, m_width - int(right.size()));
        text(left.left(room - 1).leftJustified(room, QLatin1Char(' ')) + right);
    }
    void rule(char c = '-') { raw(QByteArray(m_width, c)); }
    void logo() { raw(QByteArray(1, '\x12')); }
    void secondGraphic() { raw(QByteArray(1, '\x13')); }
    void closing()
    {
        // The cash register's closing line; the printer spreads it to its width.
        raw(QByteArray("H V A L A") + QByteArray(m_width - 10, ' ') + '#');
    }

private:
    std::vector<QByteArray> &m_lines;
    int m_width;
};

} // namespace

JournalGenerator::JournalGenerator(quint64 seed, DeviceType type)
    : m_seed(seed)
    , m_type(type)
    , m_docsPerDay(24 + int(seed % 17))
{
    const int shop = int(m_seed % quint64(Shops.size()));
    LineWriter head(m_receiptHead, lineWidth());
    head.centred(Shops[shop]);
    head.centred(Streets[shop]);
    head.text(QStringLiteral("JIB 42%1").arg(m_seed % 100000000000ull, 11, 10, QLatin1Char('0')));
    LineWriter items(m_itemLines, lineWidth());
    for (const QString &item : Items)
        items.text(item + QStringLiteral(" E"));
}

quint64 JournalGenerator::hash(quint64 a, quint64 b) const
{
    // splitmix64 over the seed and the two inputs
    quint64 z =
        m_seed * 0x9E3779B97F4A7C15ull + a * 0xBF58476D1CE4E5B9ull + b * 0x94D049BB133111EBull + 0x632BE59BD9B4E5ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

QDate JournalGenerator::firstDay() const
{
    return QDate(2025, 1, 6).addDays(qint64(m_seed % 200));
}

QDate JournalGenerator::dayOf(quint32 i) const
{
    return firstDay().addDays(i / quint32(m_docsPerDay));
}

int JournalGenerator::minuteOf(quint32 i) const
{
    // Each document has its own slot of the trading day, so times never
    // decrease within a day.
    const int slot = int(i % quint32(m_docsPerDay));
    const int gap = TradingMinutes / m_docsPerDay;
    return OpeningMinute + slot * gap + int(hash(i, 1) % quint64(gap));
}

quint16 JournalGenerator::dateWord(quint32 i) const
{
    return EncodeDateVuze(dayOf(i));
}

quint16 JournalGenerator::timeWord(quint32 i) const
{
    const int m = minuteOf(i);
    return quint16((m / 60) * 100 + m % 60);
}

SimDocument JournalGenerator::document(quint32 i) const
{
    SimDocument d;
    d.number = i;
    d.dateWord = dateWord(i);
    d.timeWord = timeWord(i);
    const bool lastOfDay = i % quint32(m_docsPerDay) == quint32(m_docsPerDay - 1);
    if (lastOfDay)
        dailyReport(d, i);
    else if (hash(i, 2) % 53 == 0)
        servicePrintout(d, i);
    else
        receipt(d, i);
    return d;
}

void JournalGenerator::receipt(SimDocument &d, quint32 i) const
{
    d.type = 1;
    LineWriter w(d.lines, lineWidth());
    const quint64 h = hash(i, 3);
    const QDate day = dayOf(i);
    const int minute = minuteOf(i);

    w.logo();
    for (const QByteArray &line : m_receiptHead)
        w.raw(line);
    w.text(QStringLiteral("%1 %2:%3")
               .arg(day.toString(QStringLiteral("dd.MM.yyyy")))
               .arg(minute / 60, 2, 10, QLatin1Char('0'))
               .arg(minute % 60, 2, 10, QLatin1Char('0')));
    w.rule();

    int total = 0;
    const int itemCount = 1 + int(h % 7);
    for (int k = 0; k < itemCount; ++k) {
        const quint64 hk = hash(i, 100 + quint64(k));
        const int qty = 1 + int(hk % 4);
        const int price = 50 + int((hk >> 8) % 2500);
        total += qty * price;
        w.raw(m_itemLines[std::size_t((hk >> 20) % quint64(Items.size()))]);
        w.pair(QStringLiteral("%1 x %2").arg(qty).arg(money(price)), money(qty * price));
        // Now and then the printer's buffer shows a stray byte; the journal
        // keeps it as it was printed.
        if ((hk >> 40) % 40 == 0)
            w.raw(EncodeDeviceText(QStringLiteral("POPUST")) + '\xFF' + '\x07'
                  + EncodeDeviceText(QStringLiteral(" 0,00")));
    }
    w.rule();
    w.pair(QStringLiteral("UKUPNO"), money(total));
    const int paid = ((total + 499) / 500) * 500;
    w.pair(QStringLiteral("GOTOVINA"), money(paid));
    w.pair(QStringLiteral("POVRAT"), money(paid - total));
    w.pair(QStringLiteral("PDV E 17%"), money(total * 17 / 117));
    w.text(QStringLiteral("BF %1").arg(i + 1, 6, 10, QLatin1Char('0')));
    w.closing();
    w.secondGraphic();

    if (h % 7 == 3)
        d.serviceText = EncodeDeviceText(ServiceNotes[int((h >> 16) % quint64(ServiceNotes.size()))]);
}

void JournalGenerator::dailyReport(SimDocument &d, quint32 i) const
{
    d.type = 2;
    LineWriter w(d.lines, lineWidth());
    const quint64 h = hash(i, 4);
    w.logo();
    w.centred(QStringLiteral("ДНЕВНИ ИЗВЈЕШТАЈ"));
    w.centred(QStringLiteral("DNEVNI IZVJEŠTAJ"));
    w.text(dayOf(i).toString(QStringLiteral("dd.MM.yyyy")));
    w.rule('=');
    const int receipts = m_docsPerDay - 1;
    const int turnover = 10000 + int(h % 900000);
    w.pair(QStringLiteral("RAČUNA"), QString::number(receipts));
    w.pair(QStringLiteral("PROMET"), money(turnover));
    w.pair(QStringLiteral("PDV E"), money(turnover * 17 / 117));
    w.pair(QStringLiteral("PDV K"), money(0));
    w.pair(QStringLiteral("GOTOVINA"), money(turnover));
    w.rule('=');
    w.text(QStringLiteral("Z %1").arg(i / quint32(m_docsPerDay) + 1, 4, 10, QLatin1Char('0')));
    w.secondGraphic();
}

void JournalGenerator::servicePrintout(SimDocument &d, quint32 i) const
{
    d.type = 3;
    LineWriter w(d.lines, lineWidth());
    const quint64 h = hash(i, 5);
    w.logo();
    w.centred(QStringLiteral("СЕРВИСНИ ИСПИС"));
    w.text(QStringLiteral("SERVISER: Đ.ŽIVKOVIĆ"));
    w.text(QStringLiteral("NALOG %1").arg(h % 10000, 4, 10, QLatin1Char('0')));
    w.rule();
    d.serviceText = EncodeDeviceText(ServiceNotes[int(h % quint64(ServiceNotes.size()))]);
    w.secondGraphic();
}
