#pragma once

// Helpers shared by the widget tests.

#include "app/form1.h"
#include "drive.h"
#include "i18n/module1.h"
#include "script/composer.h"
#include "widgets/fieldedit.h"
#include "widgets/scriptpreview.h"
#include "widgets/valuebar.h"
#include "widgets/windowkit.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

// A main window as the program starts it, shown, with its own timer stopped so
// that a test decides when a tick runs.
struct TestWindow {
    Form1 form;

    TestWindow()
    {
        child<QTimer>(&form, "Timer1")->stop();
        form.show();
        form.activateWindow();
        if (!QTest::qWaitForWindowActive(&form))
            qWarning("main window not active");
        form.Timer1_Timer();
    }

    QLineEdit *field(const char *name) const { return child<QLineEdit>(&form, name); }
    ValueBar *bar(const char *name) const { return child<ValueBar>(&form, name); }
    QString label(const char *name) const { return child<QLabel>(&form, name)->text(); }
    ScriptPreview *preview() const { return child<ScriptPreview>(&form, "Text1"); }
    QStringList lines() const { return preview()->script().split(QStringLiteral("\r\n")); }
    // The script the controls stand for, as the tick composes it.
    QString expected() const { return scriptFor(form.readSettings()); }
};
