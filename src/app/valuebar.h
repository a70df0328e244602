#pragma once

#include <QScrollBar>

// A 17 x 17 vertical scroll bar used as an up/down control: two arrow buttons
// and nothing else, one step per click, key press or wheel notch, and in the
// tab order.
class ValueBar : public QScrollBar {
    Q_OBJECT
public:
    explicit ValueBar(QWidget *parent = nullptr);

protected:
    void wheelEvent(QWheelEvent *event) override;

private:
    int m_wheelRest = 0;
};
