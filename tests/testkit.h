#pragma once

// Helpers shared by the widget tests.

#include "app/mainwindow.h"
#include "drive.h"
#include "golden.h"
#include "i18n/language.h"
#include "script/composer.h"
#include "widgets/fieldedit.h"
#include "widgets/scriptpreview.h"
#include "widgets/valuebar.h"
#include "widgets/windowkit.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

// The offscreen platform the tests run on has no window manager: Qt's notes that a
// window's size hints or stacking go nowhere ("This plugin does not support ...",
// some 780 a soak, from message boxes sizing themselves) say nothing of the program.
inline bool isOffscreenNotice(const QString &message)
{
    return message.startsWith(QLatin1String("This plugin does not support "));
}

// The application as the program sets it up; the offscreen notes out of the log.
inline void setUpTestApplication()
{
    WindowKit::setupApplication();
    static const QtMessageHandler qtest = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (!isOffscreenNotice(message))
                qtest(type, context, message);
        });
}

// The script that the window's controls stand for, by the rules written down:
// the start script with its setting lines made from the controls as they are.
inline QString truthFor(const MainWindow &form)
{
    static const QStringList start = defaultScriptLines();
    static const QList<QStringList> bars = goldenRows("bars.tsv"), fps = goldenRows("fps.tsv");
    // Characters that would end a line in the file or the preview stand as spaces.
    const auto text = [&](const char *name) {
        QString s = child<QLineEdit>(&form, name)->text();
        for (QChar &c : s)
            if ((c < u' ' && c != u'\t') || c == u'\x85' || c == u'\u2028' || c == u'\u2029'
                || c == u'\ufdd0' || c == u'\ufdd1')
                c = u' ';
        return s;
    };
    QStringList l = start;
    // A start script read wrong (too few lines) ends the test, not the heap.
    const auto line = [&l](qsizetype i) -> QString & {
        if (i < 0 || i >= l.size())
            qFatal("the start script has %lld lines, not line %lld", qlonglong(l.size()),
                   qlonglong(i + 1));
        return l[i];
    };
    line(0) = "name \"" + text("Text2") + '"';
    line(1) = "team \"" + text("Text3") + '"';
    line(2) = child<QCheckBox>(&form, "Check1")->isChecked() ? "invmouse 1" : "invmouse 0";
    for (const QStringList &b : bars) {  // the game value falls by one a step from Min down
        const int steps = child<QScrollBar>(&form, qPrintable(b[0]))->value() - b[1].toInt();
        line(b[5].toInt() - 1) = b[6] + ' ' + QString::number(b[7].toInt() - steps);
    }
    for (const QStringList &option : fps)
        if (child<QRadioButton>(&form, qPrintable(option[0]))->isChecked())
            line(7) = "fpsrange " + option[1];
    const char *keys[] = {"Text4", "forward", "Text5", "backward",
                          "Text6", "left",    "Text7", "right"};
    for (int k = 0; k < 4; ++k)
        line(15 + k) = "bind " + text(keys[2 * k]) + ' ' + keys[2 * k + 1];
    return l.join("\r\n");
}

// Answers modal windows; after a failed check, or when no step is left, it closes
// them, so that a test ends with its message instead of waiting in a window's loop.
struct TestResponder : ModalResponder {
    TestResponder() { failed = &QTest::currentTestFailed; }
};

// A main window as the program starts it, shown, with its own timer stopped so
// that a test decides when a tick runs.
struct TestWindow {
    MainWindow form;

    TestWindow()
    {
        child<QTimer>(&form, "Timer1")->stop();
        form.show();
        form.activateWindow();
        QVERIFY2(QTest::qWaitForWindowActive(&form), "main window not active");
        form.refresh();
    }

    QLineEdit *field(const char *name) const { return child<QLineEdit>(&form, name); }
    ValueBar *bar(const char *name) const { return child<ValueBar>(&form, name); }
    QString label(const char *name) const { return child<QLabel>(&form, name)->text(); }
    ScriptPreview *preview() const { return child<ScriptPreview>(&form, "Text1"); }
    QStringList lines() const { return preview()->script().split(QStringLiteral("\r\n")); }
    // The script the controls stand for.
    QString expected() const { return truthFor(form); }
};
