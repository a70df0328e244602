#pragma once

#include <QProxyStyle>

// Fusion fitted to the forms' fixed pixel layout: a group box's title sits on its
// top border line, and option buttons' round indicators fit their 13-pixel rows.
// On dark palettes the indicators' outlines stand out from the window.
class ClassicStyle : public QProxyStyle {
public:
    ClassicStyle();

    int pixelMetric(PixelMetric metric, const QStyleOption *opt = nullptr,
                    const QWidget *w = nullptr) const override;
    QRect subControlRect(ComplexControl cc, const QStyleOptionComplex *opt, SubControl sc,
                         const QWidget *w) const override;
    void drawComplexControl(ComplexControl cc, const QStyleOptionComplex *opt, QPainter *p,
                            const QWidget *w) const override;
    void drawPrimitive(PrimitiveElement pe, const QStyleOption *opt, QPainter *p,
                       const QWidget *w) const override;

private:
    void drawGroupBox(const QStyleOptionComplex *opt, QPainter *p, const QWidget *w) const;
};

// The first colour on the way from `from` to white or to black (whichever comes
// sooner) that reaches the WCAG contrast `ratio` against `behind`: `from` itself
// where it already does; the better end where none does.
QColor readableAgainst(const QColor &from, const QColor &behind, double ratio);
