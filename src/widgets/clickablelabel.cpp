#include "clickablelabel.h"

#include <QAccessibleWidget>
#include <QDesktopServices>
#include <QKeyEvent>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace {

// A link for screen readers, which can follow it without a mouse.
class ClickableLabelAccessible : public QAccessibleWidget {
public:
    explicit ClickableLabelAccessible(ClickableLabel *label)
        : QAccessibleWidget(label, QAccessible::Link)
    {
    }
    // Named by the text it shows, a picture by the address it opens.
    QString text(QAccessible::Text t) const override
    {
        const auto *label = static_cast<ClickableLabel *>(widget());
        if (t != QAccessible::Name || !label->accessibleName().isEmpty())
            return QAccessibleWidget::text(t);
        if (!label->text().isEmpty())
            return label->text();
        // "http://www.example/game/" -> "www.example/game"
        QString shown = label->address().toString(QUrl::RemoveScheme).mid(2);
        if (shown.endsWith(u'/'))
            shown.chop(1);
        return shown;
    }
    QStringList actionNames() const override
    {
        return QAccessibleWidget::actionNames() << pressAction();
    }
    void doAction(const QString &action) override
    {
        if (action == pressAction())
            emit static_cast<ClickableLabel *>(widget())->clicked();
        else
            QAccessibleWidget::doAction(action);
    }
};

QAccessibleInterface *accessibleFor(const QString &className, QObject *object)
{
    if (className == QLatin1String("ClickableLabel") && object->isWidgetType())
        return new ClickableLabelAccessible(static_cast<ClickableLabel *>(object));
    return nullptr;
}

}  // namespace

ClickableLabel::ClickableLabel(QWidget *parent) : QLabel(parent)
{
    static const bool factoryInstalled = (QAccessible::installFactory(accessibleFor), true);
    Q_UNUSED(factoryInstalled);
    connect(this, &ClickableLabel::clicked, this, &ClickableLabel::follow);
}

void ClickableLabel::setAddress(const char *url)
{
    m_address = QUrl(QString::fromLatin1(url));
    // From the keyboard only: a click follows the link without moving the focus.
    setFocusPolicy(Qt::TabFocus);
}

void ClickableLabel::follow()
{
    // Handed to the desktop; not waited for, and a failure is not reported.
    if (!m_address.isEmpty())
        QDesktopServices::openUrl(m_address);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent *event)
{
    QLabel::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void ClickableLabel::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space)
        && !(event->modifiers() & ~Qt::KeypadModifier)) {
        if (!event->isAutoRepeat())
            emit clicked();
        event->accept();
        return;
    }
    QLabel::keyPressEvent(event);
}

void ClickableLabel::paintEvent(QPaintEvent *event)
{
    if (text().isEmpty()) {
        QLabel::paintEvent(event);
    } else {
        // As QLabel draws plain text: once a label can take the focus, QLabel lays
        // its text out in a text document, which draws it a pixel apart at 200 %.
        QPainter p(this);
        const bool rtl = text().isRightToLeft();
        const Qt::Alignment align = QStyle::visualAlignment(rtl ? Qt::RightToLeft : Qt::LeftToRight,
                                                            alignment());
        style()->drawItemText(&p, contentsRect().adjusted(margin(), margin(), -margin(), -margin()),
                              int(align)
                                  | (rtl ? Qt::TextForceRightToLeft : Qt::TextForceLeftToRight),
                              palette(), isEnabled(), text(), foregroundRole());
    }
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    if (!(focus.state & QStyle::State_HasFocus)
        || !(focus.state & QStyle::State_KeyboardFocusChange))
        return;
    // The classic dotted focus rectangle, every other pixel inverted, which
    // shows on the blue text and on the pictures' black alike.
    QPainter p(this);
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const QBrush dots(Qt::white, Qt::Dense4Pattern);
    const QRect r = rect();
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), dots);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), dots);
    p.fillRect(QRect(r.left(), r.top() + 1, 1, r.height() - 2), dots);
    p.fillRect(QRect(r.right(), r.top() + 1, 1, r.height() - 2), dots);
}
