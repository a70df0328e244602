#include "classicstyle.h"

#include <QPainter>
#include <QStyleFactory>
#include <QStyleOptionGroupBox>
#include <cmath>

namespace {

// WCAG 2 relative luminance.
double luminance(const QColor &c)
{
    const auto linear = [](float v) {
        return v <= 0.04045f ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    const QColor rgb = c.toRgb();
    return 0.2126 * linear(rgb.redF()) + 0.7152 * linear(rgb.greenF())
        + 0.0722 * linear(rgb.blueF());
}

QColor mixed(const QColor &a, const QColor &b, double t)
{
    const auto mix = [t](float x, float y) { return float(x + (y - x) * t); };
    return QColor::fromRgbF(mix(a.redF(), b.redF()), mix(a.greenF(), b.greenF()),
                            mix(a.blueF(), b.blueF()));
}

// WCAG 2 contrast ratio, from 1 to 21.
double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace

QColor readableAgainst(const QColor &from, const QColor &behind, double ratio)
{
    constexpr int Steps = 64;
    for (int i = 0; i <= Steps; ++i)
        for (const QColor end : {QColor(Qt::white), QColor(Qt::black)})
            if (const QColor c = mixed(from, end, double(i) / Steps);
                contrastRatio(c, behind) >= ratio)
                return c;
    return contrastRatio(Qt::white, behind) > contrastRatio(Qt::black, behind) ? Qt::white
                                                                               : Qt::black;
}

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

void ClassicStyle::drawPrimitive(PrimitiveElement pe, const QStyleOption *opt, QPainter *p,
                                 const QWidget *w) const
{
    QProxyStyle::drawPrimitive(pe, opt, p, w);
    const bool box = pe == PE_IndicatorCheckBox, circle = pe == PE_IndicatorRadioButton;
    const bool focusRing = (opt->state & State_HasFocus)
        && (opt->state & State_KeyboardFocusChange);
    const QPalette &pal = opt->palette;
    // On a light palette the white indicator stands out as Fusion draws it; on a
    // dark one Fusion's outline, a shade darker than the window, vanishes. It is
    // drawn again, along the same line, in a grey that stands out at 3:1.
    if (!(box || circle) || focusRing
        || luminance(pal.color(QPalette::Base)) >= luminance(pal.color(QPalette::Text)))
        return;
    const QColor window = pal.color(QPalette::Window);
    QColor outline = pal.color(QPalette::WindowText);
    for (double t = 0.6; t > 0; t -= 0.05) {
        const QColor c = mixed(outline, window, t);
        if (contrastRatio(c, window) >= 3 && contrastRatio(c, pal.color(QPalette::Base)) >= 3) {
            outline = c;
            break;
        }
    }
    p->save();
    p->setRenderHint(QPainter::Antialiasing, true);
    p->setPen(outline);
    p->setBrush(Qt::NoBrush);
    const QRect &r = opt->rect;
    if (box) {
        p->translate(0.5, 0.5);
        p->drawRect(r.adjusted(0, 0, -1, -1));
    } else {  // Fusion's circle
        const qreal radius = (r.width() + (r.width() + 1) % 2) / 2.0 - 1;
        p->drawEllipse(QPointF(r.center() + QPoint(1, 1)), radius, radius);
    }
    p->restore();
}
