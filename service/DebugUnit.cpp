#include "DebugUnit.h"

#include "widgets/WindowFont.h"
#include "protocol/CodecErrors.h"
#include "protocol/DeviceCharset.h"
#include "widgets/RawPaneText.h"
#include "widgets/DialogProvider.h"
#include "platform/functions/Functions.h"
#include "protocol/FunctionUnit.h"
#include "widgets/TextEmphasis.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextEdit>

namespace {

// Each code as at least two upper-case hexadecimal digits, no separators.
QString hexCodes(const QString &text)
{
    QString out;
    for (QChar c : text)
        out += QString::asprintf("%2.2X", unsigned(c.unicode()));
    return out;
}

} // namespace

TDebugForm::TDebugForm(DialogProvider &dialogs, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
    , m_dialogs(dialogs)
{
    // The form fixes the width at 272 and the height at 588..595: outer 280
    // and 615..622 with the usual frame.
    setupUi(this);
    setFont(WindowFont());
    connect(Button2, &QPushButton::clicked, this, &TDebugForm::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TDebugForm::Button3Click);
    connect(Button1, &QPushButton::clicked, this, &TDebugForm::Button1Click);
    connect(Button4, &QPushButton::clicked, this, &TDebugForm::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TDebugForm::Button5Click);
}

void TDebugForm::setMainViews(QTextEdit *original, QTextEdit *decoded)
{
    m_original = original;
    m_decoded = decoded;
}

void TDebugForm::showCounters(quint32 tickCount, int originalLines)
{
    Label5->setText(QString::number(tickCount));
    Label3->setText(QString::number(originalLines));
}

void TDebugForm::showQueue(int queuedPackets)
{
    Label6->setText(QString::number(queuedPackets));
}

void TDebugForm::append(const QString &line)
{
    Memo3->appendPlainText(line);
}

void TDebugForm::Button2Click()
{
    append(QStringLiteral("BCD=") + hexCodes(Edit1->text()));
}

void TDebugForm::Button3Click()
{
    try {
        // Packing is a pure function: the second packing the design asks
        // for is the first one's result.
        const QString packed = QString::fromLatin1(FunctionUnit::NumStringToBCD(Edit1->text()));
        append(QStringLiteral("INT=") + packed);
        append(QStringLiteral("BCD1=") + hexCodes(packed));
    } catch (const CodecError &e) {
        m_dialogs.message(this, MessagePort::Box::Error, QString::fromLatin1(e.what()));
    }
}

bool TDebugForm::readInteger(int &value)
{
    bool ok = false;
    value = Edit1->text().trimmed().toInt(&ok);
    if (!ok)
        m_dialogs.message(this, MessagePort::Box::Error, tr("'%1' is not a valid integer value").arg(Edit1->text()));
    return ok;
}

void TDebugForm::Button4Click()
{
    int word = 0;
    if (!readInteger(word))
        return;
    const EjDate date = ::DecodeDateVuze(int32_t(word));
    if (!date.ok) {
        m_dialogs.message(this, MessagePort::Box::Error, QString::fromLatin1(FunctionsLastError()));
        return;
    }
    append(QStringLiteral("Date = ") + QDate(date.year, date.month, date.day).toString(QStringLiteral("dd.MM.yyyy")));
}

void TDebugForm::Button5Click()
{
    int word = 0;
    if (!readInteger(word))
        return;
    const EjTime time = ::DecodeTimeVuze(int32_t(word));
    append(QStringLiteral("Time = ") + QTime(time.hour, time.minute, time.second).toString(QStringLiteral("HH:mm:ss")));
}

void TDebugForm::Button1Click()
{
    if (!m_original || !m_decoded)
        return;
    m_decoded->clear();
    // The character table alone: no whole-line or marker rules here. The pane
    // shows the device's bytes in code page 1251; each character goes back to
    // the byte it shows.
    // The raw text: plain text would turn byte 0xA0, the device's "а", into
    // a blank.
    QString original = m_original->document()->toRawText();
    original.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    original.replace(QChar::LineSeparator, QLatin1Char('\n'));
    QStringList converted;
    if (!original.isEmpty()) {
        for (const QString &line : original.split(QLatin1Char('\n'))) {
            QString out;
            out.reserve(line.size());
            for (QChar c : line)
                out += ConvertToBosnian(DeviceByteShownBy(c));
            converted << out;
        }
    }
    m_decoded->setPlainText(converted.join(QLatin1Char('\n')));
    const EmphasisRule &marks = HighlightRules()[0];
    SetTextColor(m_decoded, QStringLiteral("(logo)"), marks);
    SetTextColor(m_decoded, QStringLiteral("(Bosnia)"), marks);
    RelayOutAfterEmphasis(m_decoded);
}

void TDebugForm::closeEvent(QCloseEvent *event)
{
    FormClose();
    QWidget::closeEvent(event);
}

void TDebugForm::FormClose()
{
    if (m_original)
        m_original->setReadOnly(true);
    if (m_decoded)
        m_decoded->setReadOnly(true);
}
