#include "windowkit.h"

#include "classicstyle.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFont>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QUrl>

static void initAssets()
{
    Q_INIT_RESOURCE(assets);
}

namespace WindowKit {

void setupApplication()
{
    initAssets();
    // The forms' captions are laid out for a bitmap face that Linux lacks; a
    // narrow sans fits every caption into its pixel box at the same point size.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Liberation Sans Narrow"),
                                QStringLiteral("Liberation Sans"),
                                QStringLiteral("DejaVu Sans Condensed")});
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                QStringLiteral("DejaVu Sans")});
    QApplication::setStyle(new ClassicStyle);
    // The sizes window managers draw in title bars, task bars and switchers. The
    // larger ones are for menus and software centres, which take them from the
    // installed icon theme; handing them to every window would slow each start.
    QIcon icon;
    for (int size : {16, 32, 48, 64})
        icon.addFile(QStringLiteral(":/assets/icon-%1.png").arg(size), QSize(size, size));
    QApplication::setWindowIcon(icon);
}

void fixWindow(QWidget *window, bool tool)
{
    Qt::WindowFlags flags = (tool ? Qt::Tool : Qt::Window) | Qt::CustomizeWindowHint
        | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint
        | Qt::MSWindowsFixedSizeDialogHint;
    window->setWindowFlags(flags);
    window->setFixedSize(window->size());
}

void centreOnScreen(QWidget *window)
{
    QScreen *screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    window->move(area.center() - QPoint(window->width() / 2, window->height() / 2));
}

QFont bigBold()
{
    QFont f(QStringLiteral("MS Sans Serif"));
    f.setPointSizeF(9.75);
    f.setBold(true);
    return f;
}

void styleLink(QLabel *label)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, QColor(0, 0, 255));
    label->setPalette(p);
    QFont f = label->font();
    f.setBold(true);
    f.setUnderline(true);
    label->setFont(f);
    label->adjustSize();
}

bool focusNextSkippingOptions(QWidget *window, bool next, const std::function<bool(bool)> &step)
{
    if (!step(next))
        return false;
    // Tabbing out of a group already passes its other buttons; tabbing into one
    // lands on its first or last button, which is moved to the selected one.
    auto *option = qobject_cast<QRadioButton *>(window->focusWidget());
    if (!option || option->isChecked() || !option->autoExclusive() || !option->parentWidget())
        return true;
    for (auto *sibling :
         option->parentWidget()->findChildren<QRadioButton *>(Qt::FindDirectChildrenOnly))
        if (sibling->isChecked() && sibling->autoExclusive())
            sibling->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void openAddress(const char *url)
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(url)));
}

}  // namespace WindowKit
