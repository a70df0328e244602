#include "classicstyle.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>

ClassicStyle::ClassicStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
{
}

int ClassicStyle::pixelMetric(PixelMetric metric, const QStyleOption *opt, const QWidget *w) const
{
    if (metric == PM_ExclusiveIndicatorWidth || metric == PM_ExclusiveIndicatorHeight)
        return 12;  // drawn whole inside an option button's 13-pixel row
    return QProxyStyle::pixelMetric(metric, opt, w);
}

QRect ClassicStyle::subControlRect(ComplexControl cc, const QStyleOptionComplex *opt, SubControl sc,
                                   const QWidget *w) const
{
    if (cc == CC_GroupBox) {
        const auto *box = qstyleoption_cast<const QStyleOptionGroupBox *>(opt);
        const int th = opt->fontMetrics.height();
        const QRect frame = opt->rect.adjusted(0, th / 2, 0, 0);
        switch (sc) {
        case SC_GroupBoxFrame: return frame;
        case SC_GroupBoxContents: return frame.adjusted(2, 2, -2, -2);
        case SC_GroupBoxLabel: {
            const int tw = box ? opt->fontMetrics.horizontalAdvance(box->text) : 0;
            return QRect(opt->rect.x() + 8, opt->rect.y(), tw + 2, th);
        }
        default: break;
        }
    }
    return QProxyStyle::subControlRect(cc, opt, sc, w);
}

void ClassicStyle::drawComplexControl(ComplexControl cc, const QStyleOptionComplex *opt,
                                      QPainter *p, const QWidget *w) const
{
    if (cc == CC_GroupBox && qstyleoption_cast<const QStyleOptionGroupBox *>(opt))
        drawGroupBox(opt, p, w);
    else
        QProxyStyle::drawComplexControl(cc, opt, p, w);
}

void ClassicStyle::drawGroupBox(const QStyleOptionComplex *opt, QPainter *p, const QWidget *w) const
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
