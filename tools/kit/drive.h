#pragma once

// Driving the program's windows from code, for the tests, the benchmarks and the
// screenshot tool: controls are found by their object names, and modal windows
// are answered as they open.

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QUrl>
#include <functional>

// The descendant of `root` called `name`; a missing control is a fatal error.
template <typename T = QWidget>
T *child(const QObject *root, const char *name)
{
    T *found = root->findChild<T *>(QString::fromLatin1(name));
    if (!found)
        qFatal("%s has no %s called %s", qPrintable(root->objectName()),
               T::staticMetaObject.className(), name);
    return found;
}

// Clicks the button `name` of `root`.
void click(const QObject *root, const char *name);

// Takes the web addresses the program hands to the desktop, in place of the
// desktop's opener, while it lives (QDesktopServices' handler for http).
class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QStringList urls;

    UrlRecorder();
    ~UrlRecorder() override;

public slots:
    void open(const QUrl &url);
};

// Answers modal windows while it lives. Each message box is recorded (and shown
// to `onMessage`) as it appears and closed with OK as soon as its loop runs;
// every other modal window is handed, from inside its own loop, to the next of
// `steps`, `stepDelayMs` after it shows. Once `failed` says so, every modal window
// is closed instead: after a step, and as it shows, also when no step is left.
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
    int stepDelayMs = 0;
    std::function<bool()> failed;

    ModalResponder();
    ~ModalResponder() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};
