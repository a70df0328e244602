#include "valuebar.h"

#include <QWheelEvent>


ValueBar::ValueBar(QWidget *parent) : QScrollBar(Qt::Vertical, parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
    setSingleStep(1);
    setPageStep(1);
}

void ValueBar::wheelEvent(QWheelEvent *event)
{
    // One step per notch (120 units), whatever the desktop's scroll-lines setting.
    m_wheelRest += event->angleDelta().y();
    while (m_wheelRest >= 120) {
        triggerAction(SliderSingleStepSub);
        m_wheelRest -= 120;
    }
    while (m_wheelRest <= -120) {
        triggerAction(SliderSingleStepAdd);
        m_wheelRest += 120;
    }
    event->accept();
}
