#include "SysInfoUnit.h"

#include "ControlNames.h"
#include "WindowFont.h"
#include "DialogProvider.h"
#include "Functions.h"
#include "Glyphs.h"
#include "IdentityDisplay.h"
#include "Packets.h"

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
    setWindowTitle(QStringLiteral("Electronic journal info"));
    setFixedSize(308, 257);
    setFont(WindowFont());

    const char *labels[] = {IdentityLabels::InitDate,        IdentityLabels::InitTime,
                            IdentityLabels::FiscalMemory,    IdentityLabels::ClientNumber,
                            IdentityLabels::StoredDocuments, IdentityLabels::FreeMemory};
    QLineEdit **edits[] = {&InitDateEdit, &InitTimeEdit, &FiscalMemoryEdit, &ClientNumEdit, &DocNumEdit, &FreeMemEdit};
    for (int i = 0; i < 6; ++i) {
        const int top = 10 + i * 27;
        auto *label = new QLabel(QLatin1String(labels[i]), this);
        label->setGeometry(8, top + 3, 104, 16);
        auto *edit = new QLineEdit(this);
        edit->setReadOnly(true);
        edit->setGeometry(114, top, 187, 21);
        *edits[i] = edit;
    }

    auto *logo = new QLabel(this);
    logo->setGeometry(8, 180, 239, 70);
    logo->setPixmap(Glyphs::logo(239, 70));

    CloseBtn = new QToolButton(this);
    CloseBtn->setAutoRaise(true);
    CloseBtn->setGeometry(252, 196, 48, 48);
    CloseBtn->setIcon(Glyphs::icon(Glyphs::Button::Close, 40));
    CloseBtn->setIconSize(QSize(40, 40));
    CloseBtn->setToolTip(QStringLiteral("Close program"));
    connect(CloseBtn, &QToolButton::clicked, this, &TSysInfoForm::CloseBtnClick);
    NameControls({EJ_NAMED(InitDateEdit), EJ_NAMED(InitTimeEdit), EJ_NAMED(FiscalMemoryEdit), EJ_NAMED(ClientNumEdit),
                  EJ_NAMED(DocNumEdit), EJ_NAMED(FreeMemEdit), EJ_NAMED(CloseBtn)});
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
            m_dialogs.message(this, UserPort::Box::Error, QString::fromLatin1(FunctionsLastError()));
        else if (date.year == UninitialisedJournalYear)
            m_dialogs.message(this, UserPort::Box::Warning, QStringLiteral("Electronic Journal is not initialized"));
    }
    if (!m_deviceOpen())
        m_dialogs.message(this, UserPort::Box::Error, QStringLiteral("No connection with Electronic Journal"));
}

void TSysInfoForm::CloseBtnClick()
{
    close();
}
