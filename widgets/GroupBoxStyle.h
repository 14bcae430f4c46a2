#pragma once

#include <QProxyStyle>

class QGroupBox;

// Group boxes as the design draws them: the title sits on the frame's top
// line, a little in from the left, and the line stops either side of it,
// instead of the title standing in a band above the frame. The controls
// inside are placed for a frame that starts at the title's middle; a frame
// below the title would pass behind the tallest of them (the Find button).
class TitleOnFrameStyle final : public QProxyStyle
{
public:
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl part,
                         const QWidget *widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                            const QWidget *widget) const override;
};

// Gives the group box the style; the style lives as long as the box.
void PutTitleOnFrame(QGroupBox *box);
