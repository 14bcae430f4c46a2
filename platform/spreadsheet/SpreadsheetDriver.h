#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <stdexcept>

// A spreadsheet call failed; the program only says "Error in Excel".
class SpreadsheetError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// One session with the spreadsheet application: open a text file as a
// workbook, save it as a report workbook, show it to the user. Destroying it
// releases the application without telling it to quit.
class SpreadsheetApplication
{
public:
    virtual ~SpreadsheetApplication() = default;
    virtual void openWorkbook(const QString &textFile) = 0;
    virtual void saveFirstWorkbookAs(const QString &workbookFile) = 0;
    // Shows the saved workbook; false when it cannot be shown here (no window
    // can be opened), which is no failure: the workbook is saved.
    virtual bool makeVisible() = 0;
};

class SpreadsheetDriver
{
public:
    virtual ~SpreadsheetDriver() = default;
    // Whether the spreadsheet application is there at all (IsExcelInstalled).
    virtual bool isInstalled() const = 0;
    // Starts a session; throws SpreadsheetError when it cannot.
    virtual std::unique_ptr<SpreadsheetApplication> createApplication() = 0;
};

// LibreOffice Calc, the spreadsheet application Linux users have. Calc runs
// headless with a private profile for the conversion, so it never collides
// with a Calc the user has open; the finished report then opens in Calc for
// the user as a process of its own.
class LibreOfficeCalc final : public SpreadsheetDriver
{
public:
    // soffice: the program to run; empty to look for "soffice" on the PATH.
    // show: how the report is shown (by default Calc opens it, detached,
    // where it can open a window); false when it cannot be shown.
    explicit LibreOfficeCalc(QString soffice = {}, std::function<bool(const QString &)> show = {});

    bool isInstalled() const override;
    std::unique_ptr<SpreadsheetApplication> createApplication() override;

    QString program() const { return m_soffice; }

    // How long one conversion may take before it counts as failed.
    static constexpr int ConversionTimeoutMs = 180'000;

private:
    QString m_soffice;
    std::function<bool(const QString &)> m_show;
};
