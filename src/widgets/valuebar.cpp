#include "valuebar.h"

#include <QAccessibleWidget>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionButton>

namespace {

constexpr int RepeatDelayMs = 500;
constexpr int RepeatIntervalMs = 50;
constexpr int WheelNotch = 120;

// Reports the value the bar's label shows, not the bar's position.
class ValueBarAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit ValueBarAccessible(ValueBar *bar) : QAccessibleWidget(bar, QAccessible::SpinBox) {}

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? QString::number(bar()->shownValue())
                                       : QAccessibleWidget::text(t);
    }
    QVariant currentValue() const override { return bar()->shownValue(); }
    void setCurrentValue(const QVariant &value) override { bar()->setShownValue(value.toInt()); }
    QVariant maximumValue() const override { return bar()->shownMaximum(); }
    QVariant minimumValue() const override { return bar()->shownMinimum(); }
    QVariant minimumStepSize() const override { return 1; }

private:
    ValueBar *bar() const { return static_cast<ValueBar *>(widget()); }
};

QAccessibleInterface *accessibleFor(const QString &className, QObject *object)
{
    if (className == QLatin1String("ValueBar") && object->isWidgetType())
        return new ValueBarAccessible(static_cast<ValueBar *>(object));
    return nullptr;
}

}  // namespace

ValueBar::ValueBar(QWidget *parent) : QScrollBar(Qt::Vertical, parent)
{
    static const bool factoryInstalled = (QAccessible::installFactory(accessibleFor), true);
    Q_UNUSED(factoryInstalled);
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::NoContextMenu);
    setSingleStep(1);
    setPageStep(1);
}

QRect ValueBar::buttonRect(SliderAction button) const
{
    const int half = height() / 2;
    return button == SliderSingleStepSub ? QRect(0, 0, width(), half)
                                         : QRect(0, half, width(), height() - half);
}

QAbstractSlider::SliderAction ValueBar::actionAt(const QPoint &pos) const
{
    for (SliderAction button : {SliderSingleStepSub, SliderSingleStepAdd})
        if (buttonRect(button).contains(pos))
            return button;
    return SliderNoAction;
}

void ValueBar::drawButton(QPainter &p, SliderAction button, bool enabled) const
{
    const bool sunken = m_sunken && m_pressed == button;
    QStyleOptionButton panel;
    panel.initFrom(this);
    panel.rect = buttonRect(button);
    panel.state = (sunken ? QStyle::State_Sunken : QStyle::State_Raised)
        | (enabled ? QStyle::State_Enabled : QStyle::State_None);
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &panel, &p, this);
    QStyleOption arrow = panel;
    arrow.rect = panel.rect.adjusted(4, 1, -4, -1).translated(sunken ? 1 : 0, sunken ? 1 : 0);
    style()->drawPrimitive(button == SliderSingleStepSub ? QStyle::PE_IndicatorArrowUp
                                                         : QStyle::PE_IndicatorArrowDown,
                           &arrow, &p, this);
}

void ValueBar::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    drawButton(p, SliderSingleStepSub, isEnabled() && value() > minimum());
    drawButton(p, SliderSingleStepAdd, isEnabled() && value() < maximum());
    if (hasFocus()) {
        p.setPen(palette().color(QPalette::Highlight));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void ValueBar::keyPressEvent(QKeyEvent *event)
{
    // The shown value falls as the position grows: its lowest is at the maximum.
    if ((event->key() == Qt::Key_Home || event->key() == Qt::Key_End)
        && !(event->modifiers() & ~Qt::KeypadModifier)) {
        triggerAction(event->key() == Qt::Key_Home ? SliderToMaximum : SliderToMinimum);
        event->accept();
        return;
    }
    QScrollBar::keyPressEvent(event);
}

void ValueBar::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_pressed != SliderNoAction) {
        event->ignore();
        return;
    }
    m_pressed = actionAt(event->position().toPoint());
    if (m_pressed == SliderNoAction)
        return;
    m_sunken = true;
    triggerAction(m_pressed);
    setRepeatAction(m_pressed, RepeatDelayMs, RepeatIntervalMs);
    update();
}

void ValueBar::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pressed == SliderNoAction)
        return;
    // Held down, the arrow repeats only while the pointer stays on it.
    const bool on = actionAt(event->position().toPoint()) == m_pressed;
    if (on == m_sunken)
        return;
    m_sunken = on;
    setRepeatAction(on ? m_pressed : SliderNoAction, RepeatDelayMs, RepeatIntervalMs);
    update();
}

void ValueBar::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || m_pressed == SliderNoAction)
        return;
    m_pressed = SliderNoAction;
    m_sunken = false;
    setRepeatAction(SliderNoAction);
    update();
}

void ValueBar::wheelEvent(QWheelEvent *event)
{
    // One step per notch, whatever the desktop's scroll-lines setting; the
    // partial deltas of a high-resolution wheel add up to notches.
    m_wheelRest += event->angleDelta().y();
    for (; m_wheelRest >= WheelNotch; m_wheelRest -= WheelNotch)
        triggerAction(SliderSingleStepSub);
    for (; m_wheelRest <= -WheelNotch; m_wheelRest += WheelNotch)
        triggerAction(SliderSingleStepAdd);
    event->accept();
}
