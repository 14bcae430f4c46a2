#include "SpreadsheetDriver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

// These run the real LibreOffice Calc that the project's scripts install.
namespace {

QByteArray readBack(const QString &workbook, const QString &profile)
{
    // Calc's own reading of the workbook: every cell of column A as a line.
    QTemporaryDir out;
    QProcess calc;
    calc.start(QStringLiteral("soffice"),
               {QStringLiteral("--headless"), QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(),
                QStringLiteral("--convert-to"), QStringLiteral("csv:Text - txt - csv (StarCalc):9,0,76,1"),
                QStringLiteral("--outdir"), out.path(), workbook});
    EXPECT_TRUE(calc.waitForFinished(180000));
    QFile csv(QDir(out.path()).filePath(QFileInfo(workbook).completeBaseName() + QStringLiteral(".csv")));
    return csv.open(QIODevice::ReadOnly) ? csv.readAll() : QByteArray("<no csv>");
}

TEST(LibreOfficeCalc, SavesEveryLineAsACellOfColumnA)
{
    LibreOfficeCalc probe;
    ASSERT_TRUE(probe.isInstalled()) << "scripts/install-deps installs LibreOffice Calc";

    QTemporaryDir dir;
    const QStringList lines = {
        QStringLiteral("(Logo)            "),
        QStringLiteral("   MARKET ČAČAK   "),
        QStringLiteral("   Ферхадија 12   "),
        QStringLiteral("\"quoted\", with; separators"),
        QStringLiteral("000123"),
        QStringLiteral("=1+2"),
        QStringLiteral("1 x 24,42    24,42"),
        QStringLiteral("H V A L A         "),
        QStringLiteral("ЂЉЊЋЏ đšžćč €"),
    };
    const QString text = dir.filePath(QStringLiteral("temp_20250101120000.txt"));
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (const QString &l : lines)
            f.write(l.toUtf8() + "\r\n");
    }
    QStringList shown;
    LibreOfficeCalc calc({}, [&shown](const QString &workbook) {
        shown << workbook;
        return true;
    });
    const QString report = dir.filePath(QStringLiteral("Report20250101120000.xls"));
    {
        auto app = calc.createApplication();
        app->openWorkbook(text);
        app->saveFirstWorkbookAs(report);
        app->makeVisible();
    }
    EXPECT_EQ(shown, QStringList{report});
    const QByteArray head = [&] {
        QFile f(report);
        return f.open(QIODevice::ReadOnly) ? f.read(8) : QByteArray();
    }();
    EXPECT_EQ(head, QByteArray::fromHex("D0CF11E0A1B11AE1")) << "an Excel 97 workbook";

    QTemporaryDir profile;
    const QStringList back = QString::fromUtf8(readBack(report, profile.path())).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QStringList trimmed;
    for (const QString &l : back)
        trimmed << QString(l).remove(QLatin1Char('\r'));
    EXPECT_EQ(trimmed, lines);
}

TEST(LibreOfficeCalc, MissingProgramIsNotInstalledAndFailsCleanly)
{
    LibreOfficeCalc missing(QStringLiteral("/nonexistent/soffice"));
    EXPECT_FALSE(missing.isInstalled());
    EXPECT_THROW(missing.createApplication(), SpreadsheetError);

    LibreOfficeCalc calc({}, [](const QString &) { return true; });
    auto app = calc.createApplication();
    EXPECT_THROW(app->openWorkbook(QStringLiteral("/nonexistent/temp.txt")), SpreadsheetError);
    EXPECT_THROW(app->saveFirstWorkbookAs(QStringLiteral("/tmp/x.xls")), SpreadsheetError);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
