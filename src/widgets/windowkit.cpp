#include "windowkit.h"

#include "classicstyle.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFont>
#include <QIcon>
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

void showPictures(QWidget *window)
{
    for (QLabel *label : window->findChildren<QLabel *>()) {
        const QString file = label->property("picture").toString();
        if (!file.isEmpty())
            label->setPixmap(QIcon(file).pixmap(label->size(), label->devicePixelRatioF()));
    }
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
    p.setColor(QPalette::WindowText, readableAgainst(Qt::blue, p.color(QPalette::Window), 4.5));
    label->setPalette(p);
    QFont f = label->font();
    f.setBold(true);
    f.setUnderline(true);
    label->setFont(f);
    label->adjustSize();
}

void tabToSelectedOptions(QWidget *window)
{
    // Only the selected button of a group takes focus from Tab; clicks and the
    // arrow keys reach the others, and selecting one hands the stop over.
    for (QRadioButton *option : window->findChildren<QRadioButton *>()) {
        if (!option->autoExclusive())
            continue;
        const auto follow = [option](bool on) {
            option->setFocusPolicy(on ? Qt::StrongFocus : Qt::ClickFocus);
        };
        follow(option->isChecked());
        QObject::connect(option, &QAbstractButton::toggled, option, follow);
    }
}

void openAddress(const char *url)
{
    QDesktopServices::openUrl(QUrl(QString::fromLatin1(url)));
}

}  // namespace WindowKit
