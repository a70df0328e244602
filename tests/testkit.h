#pragma once

// Helpers shared by the widget tests.

#include "app/form1.h"
#include "app/windowkit.h"
#include "i18n/module1.h"
#include "ui_form1.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>

// Answers modal windows while it lives. Each message box is recorded (and shown
// to `onMessage`) as it appears and closed with OK as soon as its loop runs; every
// other modal window is handed, from inside its own loop, to the next of `steps`.
class ModalResponder : public QObject {
public:
    struct Message {
        QString title, text;
        QMessageBox::Icon icon;
    };
    QList<Message> messages;
    std::function<void(const Message &)> onMessage;
    QList<std::function<void(QWidget *)>> steps;
    int stepsDone = 0;

    ModalResponder() { qApp->installEventFilter(this); }
    ~ModalResponder() override { qApp->removeEventFilter(this); }

    bool eventFilter(QObject *o, QEvent *e) override
    {
        auto *w = qobject_cast<QWidget *>(o);
        if (e->type() != QEvent::Show || !w || !w->isWindow() || !w->isModal())
            return false;
        if (auto *box = qobject_cast<QMessageBox *>(w)) {
            messages.append({box->windowTitle(), box->text(), box->icon()});
            if (onMessage)
                onMessage(messages.last());
            QTimer::singleShot(0, box, [box] { box->button(QMessageBox::Ok)->click(); });
        } else if (stepsDone < steps.size()) {
            QTimer::singleShot(0, w, [w, step = steps[stepsDone++]] { step(w); });
        }
        return false;
    }
};

// A main window as the program starts it, shown, with its own timer stopped so
// that a test decides when a tick runs.
struct TestWindow {
    Form1 form;
    Ui::Form1 &ui = *form.ui;

    TestWindow()
    {
        form.Timer1->stop();
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form))
            qWarning("main window not active");
        form.Timer1_Timer();
    }
};

inline void initTestApplication()
{
    WindowKit::setupApplication();
    // The offscreen platform warns about every fixed-size or raised window.
    static QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (!message.contains(QLatin1String("propagateSizeHints"))
                && !message.contains(QLatin1String("does not support raise()")))
                previous(type, context, message);
        });
}
