#include "classicstyle.h"

#include "valuebar.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>
#include <QStyleOptionSlider>

namespace {

bool isValueBar(const QWidget *w)
{
    return qobject_cast<const ValueBar *>(w) != nullptr;
}

} // namespace

ClassicStyle::ClassicStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
}

QRect ClassicStyle::subControlRect(ComplexControl cc, const QStyleOptionComplex *opt,
                                   SubControl sc, const QWidget *w) const
{
    if (cc == CC_ScrollBar && isValueBar(w)) {
        const QRect r = opt->rect;
        const int half = r.height() / 2;
        if (sc == SC_ScrollBarSubLine)
            return QRect(r.x(), r.y(), r.width(), half);
        if (sc == SC_ScrollBarAddLine)
            return QRect(r.x(), r.y() + half, r.width(), r.height() - half);
        return QRect();
    }
    if (cc == CC_GroupBox) {
        const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(opt);
        const int th = opt->fontMetrics.height();
        const QRect frame = opt->rect.adjusted(0, th / 2, 0, 0);
        switch (sc) {
        case SC_GroupBoxFrame:
            return frame;
        case SC_GroupBoxContents:
            return frame.adjusted(2, 2, -2, -2);
        case SC_GroupBoxLabel: {
            const int tw = box ? opt->fontMetrics.horizontalAdvance(box->text) : 0;
            return QRect(opt->rect.x() + 8, opt->rect.y(), tw + 2, th);
        }
        default:
            break;
        }
    }
    return QProxyStyle::subControlRect(cc, opt, sc, w);
}

QStyle::SubControl ClassicStyle::hitTestComplexControl(ComplexControl cc,
                                                       const QStyleOptionComplex *opt,
                                                       const QPoint &pt, const QWidget *w) const
{
    if (cc == CC_ScrollBar && isValueBar(w)) {
        for (SubControl sc : {SC_ScrollBarSubLine, SC_ScrollBarAddLine})
            if (subControlRect(cc, opt, sc, w).contains(pt))
                return sc;
        return SC_None;
    }
    return QProxyStyle::hitTestComplexControl(cc, opt, pt, w);
}

void ClassicStyle::drawComplexControl(ComplexControl cc, const QStyleOptionComplex *opt,
                                      QPainter *p, const QWidget *w) const
{
    if (cc == CC_ScrollBar && isValueBar(w))
        drawArrowBar(opt, p, w);
    else if (cc == CC_GroupBox && qstyleoption_cast<const QStyleOptionGroupBox *>(opt))
        drawGroupBox(opt, p, w);
    else
        QProxyStyle::drawComplexControl(cc, opt, p, w);
}

void ClassicStyle::drawGroupBox(const QStyleOptionComplex *opt, QPainter *p,
                                const QWidget *w) const
{
    const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(opt);
    const QRect label = subControlRect(CC_GroupBox, opt, SC_GroupBoxLabel, w);
    const QRect frame = subControlRect(CC_GroupBox, opt, SC_GroupBoxFrame, w);

    // The border line is broken where the title stands on it.
    p->save();
    QRegion region(opt->rect);
    if (!box->text.isEmpty())
        region -= label.adjusted(-2, 0, 1, 0);
    p->setClipRegion(region);
    const QColor line = opt->palette.color(QPalette::Window).darker(140);
    p->setPen(line);
    p->setBrush(Qt::NoBrush);
    p->drawRect(frame.adjusted(0, 0, -1, -1));
    p->setPen(opt->palette.color(QPalette::Light));
    p->drawRect(frame.adjusted(1, 1, -2, -2));
    p->restore();

    proxy()->drawItemText(p, label, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextHideMnemonic,
                          opt->palette, opt->state & State_Enabled, box->text,
                          QPalette::WindowText);
}

void ClassicStyle::drawArrowBar(const QStyleOptionComplex *opt, QPainter *p,
                                const QWidget *w) const
{
    const auto *bar = qstyleoption_cast<const QStyleOptionSlider *>(opt);
    if (!bar)
        return;
    const bool enabled = opt->state & State_Enabled;
    const bool sunken = opt->state & State_Sunken;
    drawArrowButton(p, w, opt, subControlRect(CC_ScrollBar, opt, SC_ScrollBarSubLine, w),
                    PE_IndicatorArrowUp, enabled && bar->sliderValue > bar->minimum,
                    sunken && (opt->activeSubControls & SC_ScrollBarSubLine));
    drawArrowButton(p, w, opt, subControlRect(CC_ScrollBar, opt, SC_ScrollBarAddLine, w),
                    PE_IndicatorArrowDown, enabled && bar->sliderValue < bar->maximum,
                    sunken && (opt->activeSubControls & SC_ScrollBarAddLine));
    if (opt->state & State_HasFocus) {
        p->save();
        p->setPen(QPen(opt->palette.color(QPalette::Highlight), 1));
        p->setBrush(Qt::NoBrush);
        p->drawRect(opt->rect.adjusted(0, 0, -1, -1));
        p->restore();
    }
}

void ClassicStyle::drawArrowButton(QPainter *p, const QWidget *w, const QStyleOption *from,
                                   const QRect &r, PrimitiveElement arrow, bool enabled,
                                   bool sunken) const
{
    QStyleOptionButton button;
    button.QStyleOption::operator=(*from);
    button.rect = r;
    button.state = sunken ? State_Sunken : State_Raised;
    if (enabled)
        button.state |= State_Enabled;
    proxy()->drawPrimitive(PE_PanelButtonCommand, &button, p, w);
    QStyleOption a = button;
    a.rect = r.adjusted(4, 1, -4, -1).translated(sunken ? 1 : 0, sunken ? 1 : 0);
    proxy()->drawPrimitive(arrow, &a, p, w);
}
