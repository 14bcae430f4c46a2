#include "journal/ReportLayout.h"

#include <QRegularExpression>
#include <QSet>
#include <QStringList>

#include <gtest/gtest.h>

namespace {

// Writes down every drawing the layout asks for.
class RecordingCanvas final : public ReportCanvas
{
public:
    QStringList ops;
    void newPage() override { ops << QStringLiteral("new page"); }
    void header(int page, int tx, int ty, int sy, int nx, int ny, int dy) override
    {
        ops << QStringLiteral("header %1 title %2,%3 sub %4 page %5,%6 date %7")
                   .arg(page)
                   .arg(tx)
                   .arg(ty)
                   .arg(sy)
                   .arg(nx)
                   .arg(ny)
                   .arg(dy);
    }
    void bodyLine(int x, int y, const QString &text) override
    {
        ops << QStringLiteral("line %1,%2 %3").arg(x).arg(y).arg(text);
    }
    void rule(int x, int top, int bottom) override
    {
        ops << QStringLiteral("rule %1 %2-%3").arg(x).arg(top).arg(bottom);
    }
    QStringList only(const QString &prefix) const { return ops.filter(QRegularExpression(QLatin1Char('^') + prefix)); }
};

// A page where one millimetre is exactly ten device units: 200 x 280 mm
// printable on 2000 x 2800 units, with the paper the same size.
PageGeometry tenPerMm(int dpi = 600)
{
    PageGeometry g;
    g.horzSizeMm = 200;
    g.vertSizeMm = 280;
    g.physicalWidth = 2000;
    g.physicalHeight = 2800;
    g.horzRes = 2000;
    g.vertRes = 2800;
    g.logPixelsY = dpi;
    return g;
}

TEST(ReportLayout, ConvertsMillimetresWithThePrintersFactor)
{
    PageGeometry g = tenPerMm();
    EXPECT_EQ(PosMMToPointsX(15, g), 150);
    EXPECT_EQ(PosMMToPointsY(20, g), 200);
    // Full paper over printable size: the factor is not the resolution.
    g.physicalWidth = 2100;                // 10.5 units a millimetre
    EXPECT_EQ(PosMMToPointsX(15, g), 158); // 157.5, half to even
    EXPECT_EQ(PosMMToPointsX(17, g), 178); // 178.5, half to even
    EXPECT_EQ(PosMMToPointsX(0, g), 0);
}

TEST(ReportLayout, LinePitchAndCharacterHeight)
{
    EXPECT_EQ(ReportLayout::LinePitch(67), 100);
    EXPECT_EQ(ReportLayout::LinePitch(33), 50);                  // 49.5, half to even
    EXPECT_EQ(ReportLayout::LinePitch(35), 52);                  // 52.5, half to even
    EXPECT_EQ(ReportLayout::CharacterHeight(tenPerMm(600)), 67); // 66.7
    EXPECT_EQ(ReportLayout::CharacterHeight(tenPerMm(300)), 33); // 33.3
    EXPECT_EQ(ReportLayout::CharacterHeight(tenPerMm(72)), 8);
    EXPECT_EQ(ReportLayout::CharacterHeight(tenPerMm(81)), 9); // 9.0
}

TEST(ReportLayout, EmptyReportIsOnePageWithItsHeader)
{
    RecordingCanvas canvas;
    ReportLayout layout(tenPerMm(), 20, 18, canvas);
    layout.begin();
    layout.end();
    EXPECT_EQ(layout.pages(), 1);
    EXPECT_EQ(canvas.ops, QStringList{QStringLiteral("header 1 title 250,50 sub 100 page 1700,50 date 100")});
}

TEST(ReportLayout, ColumnsFillDownThenAcrossThenOntoNewPages)
{
    // 600 dpi: pitch 100, bottom limit 2800 - 400 = 2400, so a column starting
    // at y 200 holds 22 lines (200..2300). "#" is 20 units: an 18-character
    // column is 360 wide and the step is 460. Columns start at 150, 610,
    // 1070, 1530; the fifth would start at 1990 > 2000 - 350: next page.
    RecordingCanvas canvas;
    ReportLayout layout(tenPerMm(), 20, 18, canvas);
    ASSERT_EQ(layout.linePitch(), 100);
    ASSERT_EQ(layout.bottomLimit(), 2400);
    ASSERT_EQ(layout.columnWidth(), 360);
    layout.begin();
    const int perPage = 22 * 4;
    for (int i = 0; i < perPage + 1; ++i)
        layout.addLine(QString::number(i));
    layout.end();

    const QStringList lines = canvas.only(QStringLiteral("line"));
    EXPECT_EQ(lines[0], QStringLiteral("line 150,200 0"));
    EXPECT_EQ(lines[21], QStringLiteral("line 150,2300 21")) << "the line that reaches the limit ends the column";
    EXPECT_EQ(lines[22], QStringLiteral("line 610,200 22"));
    EXPECT_EQ(lines[66], QStringLiteral("line 1530,200 66"));
    EXPECT_EQ(lines[88], QStringLiteral("line 150,200 88")) << "the next page starts at the first column";
    // Rules between the columns, 5 mm right of each column's width, down to
    // one pitch below the top of its last line.
    EXPECT_EQ(canvas.only(QStringLiteral("rule")),
              (QStringList{QStringLiteral("rule 560 200-2400"), QStringLiteral("rule 1020 200-2400"),
                           QStringLiteral("rule 1480 200-2400")}));
    EXPECT_EQ(layout.pages(), 2);
    EXPECT_EQ(canvas.only(QStringLiteral("header")).size(), 2);
    EXPECT_TRUE(canvas.only(QStringLiteral("header")).last().startsWith(QStringLiteral("header 2 ")));
    EXPECT_EQ(canvas.ops.indexOf(QStringLiteral("new page")) + 2,
              canvas.ops.indexOf(QStringLiteral("line 150,200 88")));
}

TEST(ReportLayout, NoEmptyTrailingPageOrColumn)
{
    RecordingCanvas canvas;
    ReportLayout layout(tenPerMm(), 20, 18, canvas);
    layout.begin();
    for (int i = 0; i < 22 * 4; ++i) // exactly one full page
        layout.addLine(QStringLiteral("x"));
    layout.end();
    EXPECT_EQ(layout.pages(), 1);
    EXPECT_FALSE(canvas.ops.contains(QStringLiteral("new page")));
    EXPECT_EQ(canvas.only(QStringLiteral("rule")).size(), 3) << "no rule after the last column";

    RecordingCanvas one;
    ReportLayout single(tenPerMm(), 20, 18, one);
    single.begin();
    for (int i = 0; i < 22; ++i) // exactly one full column
        single.addLine(QStringLiteral("x"));
    single.end();
    EXPECT_TRUE(one.only(QStringLiteral("rule")).isEmpty());
}

TEST(ReportLayout, WiderLinesGiveFewerColumns)
{
    auto columns = [](int lineWidth) {
        RecordingCanvas canvas;
        ReportLayout layout(tenPerMm(), 20, lineWidth, canvas);
        layout.begin();
        for (int i = 0; i < 22 * 10; ++i)
            layout.addLine(QStringLiteral("x"));
        layout.end();
        QSet<QString> xs;
        for (const QString &op : canvas.only(QStringLiteral("line")))
            xs.insert(op.section(QLatin1Char(' '), 1, 1).section(QLatin1Char(','), 0, 0));
        return xs.size();
    };
    EXPECT_EQ(columns(18), 4); // step 460
    EXPECT_EQ(columns(32), 3); // width 640, step 740: 150, 890, 1630
}

} // namespace
