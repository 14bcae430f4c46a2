#include "platform/spreadsheet/SpreadsheetDriver.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QXmlStreamReader>

#include <algorithm>

#include <gtest/gtest.h>

// These run the real LibreOffice Calc that the project's scripts install.
namespace {

// Calc's own reading of a workbook, as a flat ODF spreadsheet: each sheet's
// name and the text of every cell of its column A, and whether that column
// is set in Liberation Mono.
struct Workbook
{
    QStringList sheetNames;
    QList<QStringList> sheets;
    bool monoFace = false;
    double columnWidthCm = 0;
};

Workbook readBack(const QString &workbook)
{
    QTemporaryDir out, profile;
    QProcess calc;
    calc.start(QStringLiteral("soffice"),
               {QStringLiteral("--headless"),
                QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile.path()).toString(),
                QStringLiteral("--convert-to"), QStringLiteral("fods"), QStringLiteral("--outdir"), out.path(),
                workbook});
    EXPECT_TRUE(calc.waitForFinished(300000));
    QFile fods(QDir(out.path()).filePath(QFileInfo(workbook).completeBaseName() + QStringLiteral(".fods")));
    if (qEnvironmentVariableIsSet("EJOURNAL_KEEP_FODS"))
        QFile::copy(fods.fileName(), qEnvironmentVariable("EJOURNAL_KEEP_FODS"));
    Workbook w;
    if (!fods.open(QIODevice::ReadOnly))
        return w;
    QXmlStreamReader xml(&fods);
    QString cell;
    int cellInRow = 0;
    bool inCell = false;
    bool inParagraph = false;
    int repeatRows = 1;
    QStringList rowCells;
    QString monoStyles;
    while (!xml.atEnd()) {
        xml.readNext();
        const auto name = xml.qualifiedName();
        if (xml.isStartElement()) {
            const auto a = xml.attributes();
            if (name == QLatin1String("style:table-column-properties")) {
                const QString width = a.value(QLatin1String("style:column-width")).toString();
                if (width.endsWith(QLatin1String("cm")))
                    w.columnWidthCm = std::max(w.columnWidthCm, width.chopped(2).toDouble());
                else if (width.endsWith(QLatin1String("in")))
                    w.columnWidthCm = std::max(w.columnWidthCm, width.chopped(2).toDouble() * 2.54);
            } else if (name == QLatin1String("style:text-properties")) {
                // Excel 97 files name the face by its metric twin.
                const auto face = a.value(QLatin1String("style:font-name"));
                w.monoFace |=
                    face.contains(QLatin1String("Liberation Mono")) || face.contains(QLatin1String("Courier New"));
            } else if (name == QLatin1String("table:table")) {
                w.sheetNames << a.value(QLatin1String("table:name")).toString();
                w.sheets << QStringList();
            } else if (name == QLatin1String("table:table-row")) {
                cellInRow = 0;
                rowCells.clear();
                repeatRows = qMax(1, a.value(QLatin1String("table:number-rows-repeated")).toInt());
            } else if (name == QLatin1String("table:table-cell")) {
                inCell = true;
                cell.clear();
            } else if (name == QLatin1String("text:s")) {
                cell += QString(qMax(1, a.value(QLatin1String("text:c")).toInt()), QLatin1Char(' '));
            } else if (name == QLatin1String("text:p")) {
                if (!cell.isEmpty())
                    cell += QLatin1Char('\n');
                inParagraph = true;
            }
        } else if (xml.isCharacters() && inCell && inParagraph) {
            cell += xml.text();
        } else if (xml.isEndElement()) {
            if (name == QLatin1String("text:p")) {
                inParagraph = false;
            } else if (name == QLatin1String("table:table-cell")) {
                inCell = false;
                if (cellInRow++ == 0)
                    rowCells << cell;
            } else if (name == QLatin1String("table:table-row") && !rowCells.isEmpty()) {
                for (int i = 0; i < repeatRows; ++i)
                    w.sheets.last() << rowCells.first();
            }
        }
    }
    // Calc ends a sheet with empty rows to its bottom.
    for (QStringList &sheet : w.sheets) {
        while (!sheet.isEmpty() && sheet.last().isEmpty())
            sheet.removeLast();
    }
    return w;
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

    const Workbook back = readBack(report);
    ASSERT_EQ(back.sheets.size(), 1);
    EXPECT_EQ(back.sheetNames, QStringList{QStringLiteral("Lines 1-9")});
    EXPECT_EQ(back.sheets[0], lines);
    EXPECT_TRUE(back.monoFace) << "column A is set in Liberation Mono";
    EXPECT_GE(back.columnWidthCm, 26 * 0.2117) << "column A holds the widest line";
    EXPECT_TRUE(QDir(dir.path()).entryList({QStringLiteral(".~lock*")}, QDir::Hidden | QDir::Files).isEmpty());
}

// Excel 97 has 65,536 rows a sheet; the report goes on in the next sheet
// and keeps every line, in order.
TEST(LibreOfficeCalc, ReportBeyondOneSheetKeepsEveryLine)
{
    QTemporaryDir dir;
    const QString text = dir.filePath(QStringLiteral("temp_20250101120001.txt"));
    QStringList lines;
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        for (int i = 0; i < 75000; ++i) {
            const QString line =
                i % 1000 == 7 && i < 74000
                    ? QString()
                    : QStringLiteral("%1 Ферхадија  %2,00").arg(i, 8, 10, QLatin1Char('0')).arg(i % 97);
            lines << line;
            f.write(line.toUtf8() + "\r\n");
        }
    }
    LibreOfficeCalc calc({}, [](const QString &) { return true; });
    const QString report = dir.filePath(QStringLiteral("Report20250101120001.xls"));
    {
        auto app = calc.createApplication();
        app->openWorkbook(text);
        app->saveFirstWorkbookAs(report);
    }
    const Workbook back = readBack(report);
    EXPECT_EQ(back.sheetNames, (QStringList{QStringLiteral("Lines 1-65536"), QStringLiteral("Lines 65537-75000")}));
    ASSERT_EQ(back.sheets.size(), 2);
    EXPECT_EQ(back.sheets[0].size(), 65536);
    EXPECT_EQ(back.sheets[0] + back.sheets[1], lines);
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
