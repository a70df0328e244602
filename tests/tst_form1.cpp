// The main window: start state, refresh tick, key repair, preview, Reset, Save, Close.
#include "script/scriptfile.h"
#include "testkit.h"

#include <QAccessible>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>

static QByteArray savedFile()
{
    QFile f(ScriptFile::fileName());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

static QByteArray encoded(const QString &text)
{
    QByteArray bytes;
    return ScriptFile::encode(text, &bytes) ? bytes : QByteArray("<no encoder>");
}

class TestForm1 : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

private slots:
    void initTestCase()
    {
        initTestApplication();
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }
    void init()
    {
        Module1::LanguageId = 0;
        QFile::remove(ScriptFile::fileName());
    }

    void startStateAndTabOrder()
    {
        Form1 form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(child(&form, "centralwidget")->size(), QSize(469, 351));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(
            !(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QCOMPARE(child<QTimer>(&form, "Timer1")->interval(), 10);
        const ScriptPreview *preview = child<ScriptPreview>(&form, "Text1");
        QTRY_COMPARE(preview->script(), scriptFor(ScriptSettings()));  // by the real timer
        QCOMPARE(scriptFor(form.readSettings()), scriptFor(ScriptSettings()));
        QStringList values;
        for (const char *label : {"Label7", "Label8", "Label4", "Label6", "Label10"})
            values << child<QLabel>(&form, label)->text();
        QCOMPARE(values, QStringList({"3", "90", "150", "150", "100"}));

        // Tab visits the bars and stops once in the fps group, on its selected option.
        QStringList order;
        for (int i = 0; i < 17; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order.join(' '),
                 "Text2 Text3 Check1 VScroll1 VScroll2 VScroll3 VScroll4 Option4 "
                 "VScroll5 Text4 Text5 Text6 Text7 Command1 Command2 Command3 Text1");
        child(&form, "VScroll5")
            ->setFocus();  // Backtab into the group lands on the selected option too
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), "Option4");
    }

    void tickAndReset()
    {
        TestWindow w;
        QTest::mouseClick(w.bar("VScroll3"), Qt::LeftButton, {}, QPoint(8, 3));  // upper arrow
        QCOMPARE(w.bar("VScroll3")->value(), 996);
        w.form.Timer1_Timer();  // one tick shows it
        QCOMPARE(w.label("Label7"), "4");
        QCOMPARE(w.lines()[3], "sensitivity 4");

        // Reset brings every control back and leaves the preview to the next tick.
        w.field("Text2")->setText("q");
        w.field("Text7")->setText("l");
        w("Check1")->setProperty("checked", true);
        w.bar("VScroll5")->setValue(0);
        click(&w.form, "Option2");
        w.form.Timer1_Timer();
        const QString changed = w.preview()->script();
        QCOMPARE(changed, w.expected());
        click(&w.form, "Command1");
        QCOMPARE(w.expected(), scriptFor(ScriptSettings()));
        QCOMPARE(w.preview()->script(), changed);
        w.form.Timer1_Timer();
        QCOMPARE(w.preview()->script(), scriptFor(ScriptSettings()));
        QCOMPARE(w.label("Label7"), "3");
    }

    void accessibleValues()
    {
        // Each bar tells a screen reader the value its label shows, under the row's caption.
        TestWindow w;
        for (const auto &[bar, label] : {std::pair{"VScroll3", "Label7"},
                                         {"VScroll4", "Label8"},
                                         {"VScroll1", "Label4"},
                                         {"VScroll2", "Label6"},
                                         {"VScroll5", "Label10"}}) {
            QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w.bar(bar));
            QCOMPARE(a->text(QAccessible::Name), w.bar(bar)->accessibleName());
            QAccessibleValueInterface *v = a->valueInterface();
            const auto shown = [&] {
                w.form.Timer1_Timer();
                return w.label(label).toInt();
            };
            const int start = shown();
            QCOMPARE(v->currentValue().toInt(), start);
            QTest::mouseClick(w.bar(bar), Qt::LeftButton, {}, QPoint(8, 3));  // upper arrow
            QCOMPARE(v->currentValue().toInt(), start + 1);
            QCOMPARE(shown(), start + 1);
            w.bar(bar)->setValue(w.bar(bar)->minimum());
            QCOMPARE(v->currentValue(), v->maximumValue());
            QCOMPARE(shown(), v->maximumValue().toInt());
            w.bar(bar)->setValue(w.bar(bar)->maximum());
            QCOMPARE(v->currentValue(), v->minimumValue());
            QCOMPARE(shown(), v->minimumValue().toInt());
            v->setCurrentValue(start);
            QCOMPARE(shown(), start);
        }
        QCOMPARE(w.bar("VScroll3")->accessibleName(), "Rychlost");
        QVERIFY(!w("Image1")->accessibleName().isEmpty());
    }

    void keyRepair_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("message");
        QTest::newRow("not chosen") << 0 << QString::fromUtf8("Chyba: Chybná hodnota");
        QTest::newRow("Czech") << 1 << QString::fromUtf8("Chyba: Chybná hodnota");
        QTest::newRow("English") << 2 << QString("Error: Erroneous statement");
    }
    void keyRepair()
    {
        QFETCH(int, language);
        QFETCH(QString, message);
        Module1::LanguageId = qint16(language);
        TestWindow w;
        ModalResponder modal;
        QStringList keysWhenShown;
        modal.onMessage = [&](const ModalResponder::Message &m) {
            QCOMPARE(m.title + ": " + m.text, message);
            QCOMPARE(m.icon, QMessageBox::NoIcon);
            QString keys;
            for (const char *name : {"Text4", "Text5", "Text6", "Text7"})
                keys += w.field(name)->text();
            keysWhenShown << keys;
            if (modal.messages.size() == 1)  // a tick inside the first message's loop
                QTimer::singleShot(0, &w.form, &Form1::Timer1_Timer);
        };
        w.field("Text4")->clear();
        w.field("Text5")->setText("Sx");
        w.field("Text6")->setText(QString::fromUtf8("ř"));  // one character is a key
        w.field("Text7")->setText("dd");
        w.form.Timer1_Timer();
        // One message per invalid field, in field order, each repaired before it shows.
        QCOMPARE(keysWhenShown,
                 QStringList({QString::fromUtf8("WSxřdd"), QString::fromUtf8("WSřdd"),
                              QString::fromUtf8("WSřD")}));
        QCOMPARE(w.lines().mid(15, 4).join('|'),
                 QString::fromUtf8("bind W forward|bind S backward|bind ř left|bind D right"));
    }

    void previewFollowsTheTick()
    {
        TestWindow w;
        ScriptPreview *p = w.preview();
        QCOMPARE(p->document()->blockCount(), 59);
        // Typed text goes at the next tick, even with the settings unchanged.
        p->setFocus();
        QTest::keyClicks(p, "junk");
        QTest::keyClick(p, Qt::Key_Return);
        QVERIFY(p->script().startsWith("junk\r\n"));
        w.form.Timer1_Timer();
        QCOMPARE(p->script(), scriptFor(ScriptSettings()));
        QCOMPARE(p->textCursor().position(), 0);
        // A steady tick leaves the document alone.
        QSignalSpy changes(p->document(), &QTextDocument::contentsChange);
        w.form.Timer1_Timer();
        QCOMPARE(changes.count(), 0);

        // Without scroll bars, the keyboard and the wheel reach the last line...
        QTest::keyClick(p, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(p->viewport()->rect().contains(p->cursorRect()));
        QCOMPARE(p->textCursor().block().text(), w.lines().last());
        const int scroll = p->verticalScrollBar()->value();
        QVERIFY(scroll > 0);
        QWheelEvent up(QPointF(8, 8), p->mapToGlobal(QPointF(8, 8)), {}, {0, 120}, Qt::NoButton, {},
                       Qt::NoScrollPhase, false);
        QApplication::sendEvent(p->viewport(), &up);
        QVERIFY(p->verticalScrollBar()->value() < scroll);
        p->verticalScrollBar()->setValue(scroll);
        // ...and a changed tick keeps the scroll position and the caret.
        QTextCursor caret = p->textCursor();
        caret.setPosition(p->document()->findBlockByNumber(40).position() + 3);
        p->setTextCursor(caret);
        w.field("Text2")->setText("A much longer player name");
        w.bar("VScroll3")->setValue(500);
        w.form.Timer1_Timer();
        QCOMPARE(w.lines()[0], "name \"A much longer player name\"");
        QCOMPARE(p->verticalScrollBar()->value(), scroll);
        QCOMPARE(p->textCursor().blockNumber(), 40);
        QCOMPARE(p->textCursor().positionInBlock(), 3);
    }

    void saveWritesTheScript()
    {
        TestWindow w;
        w.field("Text2")->setText(QString::fromUtf8("Kočička ✓"));
        w.field("Text6")->setText(QString::fromUtf8("ř"));
        w.form.Timer1_Timer();
        const QByteArray expected = encoded(w.expected());
        QVERIFY(expected.startsWith("name \"Ko\xe8i\xe8ka ?\"\r\nteam"));
        QVERIFY(expected.contains("\r\nbind \xf8 left\r\n"));
        QFile old(ScriptFile::fileName());  // a longer file leaves nothing behind
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(QByteArray(10000, 'z')) == 10000);
        old.close();
        click(&w.form, "Command2");
        QCOMPARE(savedFile(), expected);
        QVERIFY(!expected.endsWith("\r\n") && expected.count("\r\n") == 58
                && expected.count('\n') == 58);
        QFile::remove(ScriptFile::fileName());
        child<QAction>(&w.form, "save")->trigger();
        QCOMPARE(savedFile(), expected);
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{"autoexec.cfg"});

        // Save writes what the controls say even when no tick ran since the last edit.
        w.preview()->selectAll();
        QTest::keyClick(w.preview(), Qt::Key_Backspace);
        click(&w.form, "Command2");
        QCOMPARE(savedFile(), expected);
        w.field("Text3")->setText("Blue");
        child<QAction>(&w.form, "save")->trigger();
        QCOMPARE(savedFile(), encoded(w.expected()));
        QVERIFY(savedFile().contains("\r\nteam \"Blue\"\r\n"));
    }

    void saveFailureAndToolTip()
    {
        Module1::LanguageId = 1;
        TestWindow w;
        w.field("Text2")->setText("Kept");
        const auto toolTip = [&] {
            QHelpEvent e(QEvent::ToolTip, QPoint(4, 4),
                         child(&w.form, "Command2")->mapToGlobal(QPoint(4, 4)));
            QApplication::sendEvent(child(&w.form, "Command2"), &e);
            return child(&w.form, "Command2")->toolTip();
        };
        // The tooltip names the file as it is at the moment it shows.
        QCOMPARE(toolTip(),
                 QString::fromUtf8("Uloží nastavení do %1")
                     .arg(QDir::current().absoluteFilePath("autoexec.cfg")));
        QTemporaryDir other;
        QVERIFY(QDir::setCurrent(other.path()));
        QVERIFY(toolTip().endsWith(QDir(other.path()).absoluteFilePath("autoexec.cfg")));

        // A failed save says where and why, in the window's language, and keeps everything.
        QVERIFY(QDir().mkdir("autoexec.cfg"));
        ModalResponder modal;
        click(&w.form, "Command2");
        QCOMPARE(modal.messages.size(), 1);
        QCOMPARE(modal.messages[0].icon, QMessageBox::Critical);
        QCOMPARE(modal.messages[0].title, "Chyba");
        QVERIFY2(modal.messages[0].text.contains(QDir::current().absoluteFilePath("autoexec.cfg")
                                                 + "\n\n")
                     && modal.messages[0].text.contains("is a folder"),
                 qPrintable(modal.messages[0].text));
        QVERIFY(w.form.isVisible());
        QCOMPARE(w.field("Text2")->text(), "Kept");
        QVERIFY(QFileInfo("autoexec.cfg").isDir());
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }

    void closeEndsAtOnce_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("button") << 0;
        QTest::newRow("menu") << 1;
        QTest::newRow("Ctrl+Q") << 2;
        QTest::newRow("close box") << 3;
    }
    void closeEndsAtOnce()
    {
        QFETCH(int, way);
        TestWindow w;
        w.field("Text2")->setText("unsaved");
        QTimer::singleShot(0, &w.form, [&] {
            if (way == 0)
                click(&w.form, "Command3");
            if (way == 1)
                child<QAction>(&w.form, "quit")->trigger();
            if (way == 2)
                QTest::keyClick(&w.form, Qt::Key_Q, Qt::ControlModifier);
            if (way == 3)
                w.form.close();
        });
        QTimer guard;  // ends a loop that Close failed to end
        connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
        guard.start(3000);
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!QFile::exists(ScriptFile::fileName()));
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
