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

// Answers modal windows while it lives. Each message box is recorded when first
// seen and closed with OK when seen again a few milliseconds later, so that work
// a test schedules from `onMessage` runs while the box is open. Other modal
// windows go to `onWindow`.
class ModalResponder : public QObject {
public:
    struct Message {
        QString title, text;
        QMessageBox::Icon icon;
    };
    QList<Message> messages;
    std::function<void(const Message &)> onMessage;
    std::function<void(QWidget *)> onWindow;

    ModalResponder()
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalResponder::poll);
        m_timer.start(5);
    }

private:
    void poll()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || !w->isVisible())
            return;
        auto *box = qobject_cast<QMessageBox *>(w);
        if (!box) {
            if (onWindow)
                onWindow(w);
            return;
        }
        if (!box->property("recorded").toBool()) {
            box->setProperty("recorded", true);
            messages.append({box->windowTitle(), box->text(), box->icon()});
            if (onMessage)
                onMessage(messages.last());
            return;
        }
        box->button(QMessageBox::Ok)->click();
    }

    QTimer m_timer;
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
