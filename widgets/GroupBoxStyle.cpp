#include "GroupBoxStyle.h"

#include <QGroupBox>
#include <QPainter>
#include <qdrawutil.h>
#include <QStyleOption>

namespace {

// Where the title starts, from the frame's left edge.
constexpr int TitleIndent = 6;
// The gap the frame line leaves either side of the title.
constexpr int TitleGap = 2;

} // namespace

QRect TitleOnFrameStyle::subControlRect(ComplexControl control, const QStyleOptionComplex *option, SubControl part,
                                        const QWidget *widget) const
{
    QRect rect = QProxyStyle::subControlRect(control, option, part, widget);
    if (control != CC_GroupBox)
        return rect;
    if (part == SC_GroupBoxLabel) {
        rect.moveLeft(option->rect.left() + TitleIndent);
    } else if (part == SC_GroupBoxFrame) {
        const QRect title = QProxyStyle::subControlRect(control, option, SC_GroupBoxLabel, widget);
        if (title.isValid())
            rect.setTop(title.center().y());
    }
    return rect;
}

void TitleOnFrameStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex *option, QPainter *painter,
                                           const QWidget *widget) const
{
    const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(option);
    if (control != CC_GroupBox || !box || (box->subControls & SC_GroupBoxCheckBox)) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const QRect title = subControlRect(control, option, SC_GroupBoxLabel, widget);
    if (box->subControls & SC_GroupBoxFrame) {
        // Drawn here, not as the base style's group frame, which sets its
        // own top below the title whatever rectangle it is given. An etched
        // line, as the design's frames are.
        painter->save();
        QRegion around(box->rect);
        if (!box->text.isEmpty())
            around -= title.adjusted(-TitleGap, 0, TitleGap, 0);
        painter->setClipRegion(around);
        qDrawShadeRect(painter, subControlRect(control, option, SC_GroupBoxFrame, widget), box->palette, true, 1, 0);
        painter->restore();
    }
    if ((box->subControls & SC_GroupBoxLabel) && !box->text.isEmpty()) {
        drawItemText(painter, title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, box->palette,
                     box->state & State_Enabled, box->text, QPalette::WindowText);
    }
}

void PutTitleOnFrame(QGroupBox *box)
{
    auto *style = new TitleOnFrameStyle;
    style->setParent(box);
    box->setStyle(style);
}
