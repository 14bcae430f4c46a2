#include "ReportLayout.h"

#include <cmath>

namespace {

int roundHalfEven(double v)
{
    return int(std::nearbyint(v));
}

} // namespace

int PosMMToPointsX(double x, const PageGeometry &page)
{
    return page.horzSizeMm > 0 ? roundHalfEven(x / page.horzSizeMm * page.physicalWidth) : 0;
}

int PosMMToPointsY(double y, const PageGeometry &page)
{
    return page.vertSizeMm > 0 ? roundHalfEven(y / page.vertSizeMm * page.physicalHeight) : 0;
}

int ReportLayout::CharacterHeight(const PageGeometry &page)
{
    return int(std::floor(8.0 * page.logPixelsY / 72.0 + 0.5));
}

int ReportLayout::LinePitch(int characterHeight)
{
    return roundHalfEven(1.5 * characterHeight);
}

ReportLayout::ReportLayout(const PageGeometry &page, int hashWidth, int lineWidth, ReportCanvas &canvas)
    : m_geometry(page)
    , m_canvas(canvas)
    , m_pitch(LinePitch(CharacterHeight(page)))
    , m_bottom(page.vertRes - 4 * m_pitch)
    , m_columnWidth(hashWidth * lineWidth)
    , m_left(PosMMToPointsX(15, page))
    , m_top(PosMMToPointsY(20, page))
{}

void ReportLayout::header()
{
    const PageGeometry &g = m_geometry;
    m_canvas.header(m_pageNumber, PosMMToPointsX(25, g), PosMMToPointsY(5, g), PosMMToPointsY(10, g),
                    PosMMToPointsX(170, g), PosMMToPointsY(5, g), PosMMToPointsY(10, g));
}

void ReportLayout::begin()
{
    m_pageNumber = 1;
    m_x = m_left;
    m_y = m_top;
    m_breakDue = false;
    header();
}

void ReportLayout::addLine(const QString &decoded)
{
    if (m_breakDue)
        breakColumn();
    m_canvas.bodyLine(m_x, m_y, decoded);
    m_y += m_pitch;
    // The column is full; the break itself waits for the next line.
    m_breakDue = m_y >= m_bottom;
}

void ReportLayout::breakColumn()
{
    m_breakDue = false;
    const int mm10 = PosMMToPointsX(10, m_geometry);
    if (m_x + m_columnWidth + mm10 > m_geometry.horzRes - PosMMToPointsX(35, m_geometry)) {
        m_x = m_left;
        m_y = m_top;
        m_canvas.newPage();
        ++m_pageNumber;
        header();
        return;
    }
    const int ruleX = m_x + m_columnWidth + PosMMToPointsX(5, m_geometry);
    m_canvas.rule(ruleX, m_top, m_y);
    m_y = m_top;
    m_x += m_columnWidth + mm10;
}

void ReportLayout::end()
{
    m_breakDue = false;
}
