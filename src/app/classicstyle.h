#pragma once

#include <QProxyStyle>

// Fusion with two changes for the forms' fixed pixel layout: a group box's
// title sits on its top border line, and a ValueBar is drawn and hit-tested as
// an upper and a lower arrow button with nothing between them.
class ClassicStyle : public QProxyStyle {
public:
    ClassicStyle();

    QRect subControlRect(ComplexControl cc, const QStyleOptionComplex *opt, SubControl sc,
                         const QWidget *w) const override;
    SubControl hitTestComplexControl(ComplexControl cc, const QStyleOptionComplex *opt,
                                     const QPoint &pt, const QWidget *w) const override;
    void drawComplexControl(ComplexControl cc, const QStyleOptionComplex *opt, QPainter *p,
                            const QWidget *w) const override;

private:
    void drawGroupBox(const QStyleOptionComplex *opt, QPainter *p, const QWidget *w) const;
    void drawArrowBar(const QStyleOptionComplex *opt, QPainter *p, const QWidget *w) const;
    void drawArrowButton(QPainter *p, const QWidget *w, const QStyleOption *from, const QRect &r,
                         PrimitiveElement arrow, bool enabled, bool sunken) const;
};
