#include "SysInfoUnit.h"

#include "widgets/WindowFont.h"
#include "widgets/DialogProvider.h"
#include "platform/functions/Functions.h"
#include "Glyphs.h"
#include "protocol/IdentityDisplay.h"
#include "protocol/Packets.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QToolButton>

TSysInfoForm::TSysInfoForm(DialogProvider &dialogs, std::function<const data_132 &()> identity,
                           std::function<bool()> deviceOpen, QWidget *parent)
    : QDialog(parent)
    , m_dialogs(dialogs)
    , m_identity(std::move(identity))
    , m_deviceOpen(std::move(deviceOpen))
{
    setupUi(this);
    setFixedSize(size());
    setFont(WindowFont());
    // The labels' texts are the identity display's, in one place.
    const char *labels[] = {IdentityLabels::InitDate,     IdentityLabels::InitTime,        IdentityLabels::FiscalMemory,
                            IdentityLabels::ClientNumber, IdentityLabels::StoredDocuments, IdentityLabels::FreeMemory};
    QLabel *rows[] = {InitDateLabel, InitTimeLabel, FiscalMemoryLabel, ClientNumLabel, DocNumLabel, FreeMemLabel};
    for (int i = 0; i < 6; ++i)
        rows[i]->setText(QLatin1String(labels[i]));
    LogoImage->setPixmap(Glyphs::logo(LogoImage->width(), LogoImage->height()));
    CloseBtn->setIcon(Glyphs::icon(Glyphs::Button::Close, CloseBtn->iconSize().width()));
    connect(CloseBtn, &QToolButton::clicked, this, &TSysInfoForm::CloseBtnClick);
}

void TSysInfoForm::showIdentity(const IdentityTexts &t)
{
    InitDateEdit->setText(t.initDate);
    InitTimeEdit->setText(t.initTime);
    FiscalMemoryEdit->setText(t.fiscalMemory);
    ClientNumEdit->setText(t.clientNumber);
    DocNumEdit->setText(t.storedDocuments);
    FreeMemEdit->setText(t.freeMemory);
}

void TSysInfoForm::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The boxes open over the dialog once it is on screen.
    QTimer::singleShot(0, this, &TSysInfoForm::FormShow);
}

void TSysInfoForm::FormShow()
{
    if (!InitDateEdit->text().isEmpty()) {
        // Through the Functions library, as the journal's own tools read it.
        const EjDate date = ::DecodeDateVuze(int32_t(::SwpEndianW(int32_t(m_identity().init_date))));
        if (!date.ok)
            m_dialogs.message(this, MessagePort::Box::Error, QString::fromLatin1(FunctionsLastError()));
        else if (date.year == UninitialisedJournalYear)
            m_dialogs.message(this, MessagePort::Box::Warning, tr("Electronic Journal is not initialized"));
    }
    if (!m_deviceOpen())
        m_dialogs.message(this, MessagePort::Box::Error, tr("No connection with Electronic Journal"));
}

void TSysInfoForm::CloseBtnClick()
{
    close();
}
