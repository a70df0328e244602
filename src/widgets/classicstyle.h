#pragma once

#include <QProxyStyle>

// Fusion fitted to the forms' fixed pixel layout: a group box's title sits on its
// top border line, and option buttons' round indicators fit their 13-pixel rows.
class ClassicStyle : public QProxyStyle {
public:
    ClassicStyle();

    int pixelMetric(PixelMetric metric, const QStyleOption *opt = nullptr,
                    const QWidget *w = nullptr) const override;
    QRect subControlRect(ComplexControl cc, const QStyleOptionComplex *opt, SubControl sc,
                         const QWidget *w) const override;
    void drawComplexControl(ComplexControl cc, const QStyleOptionComplex *opt, QPainter *p,
                            const QWidget *w) const override;

private:
    void drawGroupBox(const QStyleOptionComplex *opt, QPainter *p, const QWidget *w) const;
};
