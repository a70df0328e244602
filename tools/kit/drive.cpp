#include "drive.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QTimer>

void click(const QObject *root, const char *name)
{
    child<QAbstractButton>(root, name)->click();
}

ModalResponder::ModalResponder()
{
    qApp->installEventFilter(this);
}

ModalResponder::~ModalResponder()
{
    qApp->removeEventFilter(this);
}

bool ModalResponder::eventFilter(QObject *watched, QEvent *event)
{
    auto *w = qobject_cast<QWidget *>(watched);
    if (event->type() != QEvent::Show || !w || !w->isWindow() || !w->isModal())
        return false;
    if (auto *box = qobject_cast<QMessageBox *>(w)) {
        messages.append({box->windowTitle(), box->text(), box->icon()});
        if (onMessage)
            onMessage(messages.last());
        QTimer::singleShot(0, box, [box] { box->button(QMessageBox::Ok)->click(); });
    } else if (failed && (failed() || stepsDone == steps.size())) {
        QTimer::singleShot(0, w, [w] { w->close(); });
    } else if (stepsDone < steps.size()) {
        QTimer::singleShot(stepDelayMs, w, [this, w, step = steps[stepsDone++]] {
            step(w);
            if (failed && failed())
                w->close();
        });
    }
    return false;
}

UrlRecorder::UrlRecorder()
{
    QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "open");
}

UrlRecorder::~UrlRecorder()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
}

void UrlRecorder::open(const QUrl &url)
{
    urls << url.toString();
}
