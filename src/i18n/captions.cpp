#include "captions.h"

#include "messages.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

namespace {

// Calls `set` with the caption of the current language, if one is chosen.
template <class Set>
void withCaption(const Caption &c, Set set)
{
    const QString text = inLanguage({c.czech, c.english, nullptr});
    if (!text.isNull())
        set(text);
}

}  // namespace

void setCaption(QMenu *menu, const Caption &c)
{
    withCaption(c, [menu](const QString &text) { menu->setTitle(text); });
}

void setCaption(QAction *action, const Caption &c)
{
    withCaption(c, [action](const QString &text) { action->setText(text); });
}

void setCaption(QGroupBox *frame, const Caption &c)
{
    withCaption(c, [frame](const QString &text) { frame->setTitle(text); });
}

void setCaption(QLabel *label, const Caption &c)
{
    withCaption(c, [label](const QString &text) { label->setText(text); });
}

void setCaption(QAbstractButton *button, const Caption &c)
{
    withCaption(c, [button](const QString &text) { button->setText(text); });
}

void setWindowCaption(QWidget *window, const Caption &c)
{
    withCaption(c, [window](const QString &text) { window->setWindowTitle(text); });
}
