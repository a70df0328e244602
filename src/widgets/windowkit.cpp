#include "windowkit.h"

#include "classicstyle.h"
#include "faces.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QWindow>

static void initAssets()
{
    Q_INIT_RESOURCE(assets);
}

namespace {

// Qt's own title bars on Wayland offer minimise and maximise whatever the window
// flags say and cut short titles; there a fixed window draws this one instead:
// its icon, its whole title and the close box, as X11 window managers show it.
class TitleBar : public QWidget {
public:
    static constexpr int Height = 22;

    explicit TitleBar(QWidget *window) : QWidget(window), m_window(window)
    {
        setObjectName(QStringLiteral("titleBar"));
        setGeometry(0, 0, window->width(), Height);
        auto *close = new QToolButton(this);
        close->setObjectName(QStringLiteral("closeBox"));
        close->setAccessibleName(QStringLiteral("Close"));
        close->setAutoRaise(true);
        close->setFocusPolicy(Qt::NoFocus);
        close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
        close->setGeometry(width() - Height, 0, Height, Height);
        connect(close, &QToolButton::clicked, window, &QWidget::close);
        window->installEventFilter(this);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Window).darker(112));
        p.setPen(palette().color(QPalette::Mid));
        p.drawLine(0, Height - 1, width(), Height - 1);
        const int icon = 16, pad = (Height - icon) / 2;
        p.drawPixmap(pad, pad,
                     m_window->windowIcon().pixmap(QSize(icon, icon), devicePixelRatioF()));
        QFont f = font();
        f.setBold(true);
        p.setFont(f);
        p.setPen(palette().color(QPalette::WindowText));
        const QRect text(icon + 2 * pad, 0, width() - 2 * Height, Height);
        p.drawText(
            text, Qt::AlignVCenter | Qt::AlignLeft,
            QFontMetrics(f).elidedText(m_window->windowTitle(), Qt::ElideRight, text.width()));
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton && m_window->windowHandle())
            m_window->windowHandle()->startSystemMove();
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::WindowTitleChange || event->type() == QEvent::WindowIconChange)
            update();
        return false;
    }

private:
    QWidget *m_window;
};

// Qt presses a button on Enter only when it is a dialog's default button; that
// would also draw it as one.
class EnterPresses : public QObject {
protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            || (key->modifiers() & ~Qt::KeypadModifier))
            return false;
        if (!key->isAutoRepeat())
            static_cast<QPushButton *>(watched)->click();
        return true;
    }
};

// What screen readers are told, as a notification that shows: Qt 6.4 has no
// announcement event, and Orca cannot read the description and name changes it
// sends (they carry the object, not the text). It has no size and draws nothing.
class Announcement : public QWidget {
    Q_OBJECT
public:
    explicit Announcement(QWidget *window) : QWidget(window)
    {
        setObjectName(QStringLiteral("announcement"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setGeometry(0, 0, 0, 0);
    }
};

class AnnouncementAccessible : public QAccessibleWidget {
public:
    explicit AnnouncementAccessible(QWidget *w) : QAccessibleWidget(w, QAccessible::Notification) {}
};

QAccessibleInterface *accessibleFor(const QString &className, QObject *object)
{
    if (className == QLatin1String("Announcement") && object->isWidgetType())
        return new AnnouncementAccessible(static_cast<QWidget *>(object));
    return nullptr;
}

}  // namespace

namespace WindowKit {

void setupApplication()
{
    initAssets();
    Faces::substitute();
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
    if (QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
        flags = (tool ? Qt::Tool : Qt::Window) | Qt::FramelessWindowHint;
        // The contents move down under the title bar.
        if (window->layout()) {
            window->setContentsMargins(0, TitleBar::Height, 0, 0);
        } else {
            for (QWidget *c : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
                if (!c->isWindow())
                    c->move(c->x(), c->y() + TitleBar::Height);
        }
        window->resize(window->width(), window->height() + TitleBar::Height);
        new TitleBar(window);
    }
    window->setWindowFlags(flags);
    window->setFixedSize(window->size());
    static EnterPresses enterPresses;
    for (QPushButton *button : window->findChildren<QPushButton *>())
        button->installEventFilter(&enterPresses);
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

void useFaces(QWidget *window)
{
    QList<QWidget *> widgets = window->findChildren<QWidget *>();
    widgets.prepend(window);
    for (QWidget *w : widgets) {
        if (!w->testAttribute(Qt::WA_SetFont))
            continue;
        QFont f = w->font();
        const QString face = Faces::shown(f.family());
        if (face != f.family()) {
            f.setFamily(face);
            w->setFont(f);
        }
    }
}

QFont bigBold()
{
    QFont f(Faces::shown(QStringLiteral("MS Sans Serif")));
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

void announce(const QString &text)
{
    static const bool factoryInstalled = (QAccessible::installFactory(accessibleFor), true);
    Q_UNUSED(factoryInstalled);
    QWidget *window = QApplication::activeWindow();
    if (!window)
        return;
    auto *note = window->findChild<Announcement *>(QString(), Qt::FindDirectChildrenOnly);
    if (!note)
        note = new Announcement(window);
    note->hide();
    note->setAccessibleName(text);
    note->show();
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

}  // namespace WindowKit

#include "windowkit.moc"
