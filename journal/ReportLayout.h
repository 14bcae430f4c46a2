#pragma once

#include <QString>

// The printed report's page geometry, in the terms printers report it.
struct PageGeometry
{
    double horzSizeMm = 0;  // printable width in millimetres (HORZSIZE)
    double vertSizeMm = 0;  // printable height in millimetres (VERTSIZE)
    int physicalWidth = 0;  // whole paper width in device units (PHYSICALWIDTH)
    int physicalHeight = 0; // whole paper height in device units (PHYSICALHEIGHT)
    int horzRes = 0;        // printable width in device units (HORZRES)
    int vertRes = 0;        // printable height in device units (VERTRES)
    int logPixelsY = 0;     // vertical resolution in dots per inch (LOGPIXELSY)
};

// Millimetres from the printable area's top-left corner to device units.
int PosMMToPointsX(double x, const PageGeometry &page);
int PosMMToPointsY(double y, const PageGeometry &page);

// What the layout asks the printer to draw.
class ReportCanvas
{
public:
    virtual ~ReportCanvas() = default;
    virtual void newPage() = 0; // every page after the first
    // The two header lines, the page number and the date of printing.
    virtual void header(int pageNumber, int titleX, int titleY, int subtitleY, int numberX, int numberY, int dateY) = 0;
    virtual void bodyLine(int x, int y, const QString &text) = 0; // top-left corner at x, y
    virtual void rule(int x, int top, int bottom) = 0;
};

// Lays journal lines out in columns across pages: a column fills down to the
// bottom limit, the next starts 10 mm to the right of its width with a rule
// between them, and a page that has no room for another column gives way to
// a new page with its header. A break waits until another line is due, so a
// report never ends with an empty page or a rule with nothing beside it.
class ReportLayout
{
public:
    // hashWidth: the width of "#" in the body font, in device units;
    // lineWidth: characters a journal line.
    ReportLayout(const PageGeometry &page, int hashWidth, int lineWidth, ReportCanvas &canvas);

    static int CharacterHeight(const PageGeometry &page); // 8 pt at LOGPIXELSY, halves up
    static int LinePitch(int characterHeight);            // 1.5 x height, halves to even

    void begin(); // page 1 and its header
    void addLine(const QString &decoded);
    void end();

    int pages() const { return m_pageNumber; }
    int linePitch() const { return m_pitch; }
    int bottomLimit() const { return m_bottom; }
    int columnWidth() const { return m_columnWidth; }

private:
    void breakColumn();
    void header();

    PageGeometry m_geometry;
    ReportCanvas &m_canvas;
    int m_pitch;
    int m_bottom;
    int m_columnWidth;
    int m_left, m_top;
    int m_x = 0, m_y = 0;
    int m_pageNumber = 0;
    bool m_breakDue = false;
};
