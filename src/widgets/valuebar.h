#pragma once

#include <QScrollBar>

// A 17 x 17 vertical scroll bar used as an up/down control beside a value label:
// an upper and a lower arrow button and nothing between them, one step per click,
// key press or wheel notch, and in the tab order. The label shows a game value,
// some constant minus the position, so the upper arrow raises it and Home and End
// give the lowest and the highest game value, as on a spin button; screen readers
// are given that value too.
class ValueBar : public QScrollBar {
    Q_OBJECT
public:
    explicit ValueBar(QWidget *parent = nullptr);

    // The value shown for position p is constant - p.
    void setShownConstant(int constant) { m_constant = constant; }
    int shownValue() const { return m_constant - value(); }
    void setShownValue(int shown) { setValue(m_constant - shown); }
    int shownMinimum() const { return m_constant - maximum(); }
    int shownMaximum() const { return m_constant - minimum(); }

    QSize sizeHint() const override { return {17, 17}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    SliderAction actionAt(const QPoint &pos) const;
    QRect buttonRect(SliderAction button) const;
    void drawButton(QPainter &p, SliderAction button, bool enabled) const;

    int m_constant = 0;
    SliderAction m_pressed = SliderNoAction;  // the arrow held down, if any
    bool m_sunken = false;                    // the pointer is still on it
    int m_wheelRest = 0;
};
