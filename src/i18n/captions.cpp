#include "captions.h"

#include "messages.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

void setCaption(QObject *target, const Caption &c)
{
    const QString text = inLanguage({c.czech, c.english, nullptr});
    if (text.isNull())
        return;
    if (auto *menu = qobject_cast<QMenu *>(target))
        menu->setTitle(text);
    else if (auto *action = qobject_cast<QAction *>(target))
        action->setText(text);
    else if (auto *frame = qobject_cast<QGroupBox *>(target))
        frame->setTitle(text);
    else if (auto *label = qobject_cast<QLabel *>(target))
        label->setText(text);
    else if (auto *button = qobject_cast<QAbstractButton *>(target))
        button->setText(text);
    else if (auto *window = qobject_cast<QWidget *>(target); window && window->isWindow())
        window->setWindowTitle(text);
}
