// The program: start state, refresh tick, key repair, preview, Reset,
// Save and Close.
#include "script/scriptfile.h"
#include "testkit.h"

#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>

// Save writes into a folder of the test's own; the working folder stays as it is.
static const QTemporaryDir scratch;
static const QString saved = QDir(scratch.path()).filePath(QStringLiteral("autoexec.cfg"));

static QByteArray savedFile()
{
    QFile f(saved);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// Message boxes on screen.
static int boxesShown()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return int(std::count_if(windows.begin(), windows.end(), [](QWidget *w) {
        return qobject_cast<QMessageBox *>(w) && w->isVisible();
    }));
}

struct SavingWindow : TestWindow {
    SavingWindow() { form.setSaveFolder(ScriptFile::Folder(QFile::encodeName(scratch.path()))); }
};

class TestProgram : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { setUpTestApplication(); }
    void init()
    {
        setLanguage(Language::NotChosen);
        QFile::remove(saved);
    }

    void startStateAndTabOrder()
    {
        MainWindow form;
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QCOMPARE(child(&form, "centralwidget")->size(), QSize(469, 351));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QTRY_COMPARE(child<ScriptPreview>(&form, "Text1")->script(),
                     defaultScript());  // real timer
        QStringList values;
        for (const char *label : {"Label7", "Label8", "Label4", "Label6", "Label10"})
            values << child<QLabel>(&form, label)->text();
        QCOMPARE(values.join(' '), "3 90 150 150 100");

        // Tab visits the bars and stops once in the fps group, on its selected option.
        QStringList order;
        for (int i = 0; i < 17; ++i) {
            order << QApplication::focusWidget()->objectName();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QCOMPARE(order.join(' '),
                 "Text2 Text3 Check1 VScroll1 VScroll2 VScroll3 VScroll4 Option4 "
                 "VScroll5 Text4 Text5 Text6 Text7 Command1 Command2 Command3 Text1");
    }

    void barsLabelsAndReset()
    {
        // Each bar's range and start, its label and line, and the game value at either
        // end; the upper arrow raises it. A screen reader is told the game value.
        TestWindow w;
        for (const QStringList &g : goldenRows("bars.tsv")) {
            ValueBar *bar = w.bar(qPrintable(g[0]));
            QCOMPARE(QList<int>({bar->minimum(), bar->maximum(), bar->value()}),
                     QList<int>({g[1].toInt(), g[2].toInt(), g[3].toInt()}));
            QAccessibleValueInterface *v =
                QAccessible::queryAccessibleInterface(bar)->valueInterface();
            // The line, the label and what a screen reader hears after a tick.
            const auto shown = [&] {
                w.form.refresh();
                return QStringList{w.lines()[g[5].toInt() - 1], w.label(qPrintable(g[4])),
                                   v->currentValue().toString()};
            };
            const auto showing = [&](int game) {
                return QStringList{g[6] + ' ' + QString::number(game), QString::number(game),
                                   QString::number(game)};
            };
            const int start = g[7].toInt() - (g[3].toInt() - g[1].toInt());
            QCOMPARE(shown(), showing(start));
            QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(8, 3));  // upper arrow
            QCOMPARE(shown(), showing(start + 1));
            // End gives the highest game value and Home the lowest, as on a spin button.
            QTest::keyClick(bar, Qt::Key_End);
            QCOMPARE(shown(), showing(g[7].toInt()));
            QCOMPARE(v->maximumValue().toInt(), g[7].toInt());
            QTest::keyClick(bar, Qt::Key_Home);
            QCOMPARE(shown(), showing(g[8].toInt()));
            QCOMPARE(v->minimumValue().toInt(), g[8].toInt());
        }
        for (const QStringList &option : goldenRows("fps.tsv")) {
            click(&w.form, qPrintable(option[0]));
            w.form.refresh();
            QCOMPARE(w.lines()[7], "fpsrange " + option[1]);
        }
        QVERIFY(!child(&w.form, "Image1")->accessibleName().isEmpty());

        // Reset brings every control back and leaves the preview to the next tick.
        w.field("Text2")->setText("q");
        w.field("Text7")->setText("l");
        click(&w.form, "Check1");
        click(&w.form, "Option2");
        w.form.refresh();
        const QString changed = w.preview()->script();
        click(&w.form, "Command1");
        QCOMPARE(w.expected(), defaultScript());
        QCOMPARE(w.preview()->script(), changed);
        w.form.refresh();
        QCOMPARE(w.preview()->script(), defaultScript());
        QCOMPARE(w.label("Label7"), "3");
    }

    void keyRepair_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("message");
        for (int language : {0, 1, 2})
            QTest::addRow("language %d", language)
                << language << goldenMessage("keyRepaired", language);
    }
    void keyRepair()
    {
        QFETCH(int, language);
        QFETCH(QString, message);
        setLanguage(Language(language));
        TestWindow w;
        TestResponder modal;
        QStringList keysWhenShown;
        modal.onMessage = [&](const ModalResponder::Message &m) {
            QCOMPARE(m.title + ": " + m.text, message);
            QCOMPARE(m.icon, QMessageBox::NoIcon);
            QString keys;
            for (const char *name : {"Text4", "Text5", "Text6", "Text7"})
                keys += w.field(name)->text();
            keysWhenShown << keys;
            QCOMPARE(boxesShown(), 1);  // a tick inside the first box adds none
            if (modal.messages.size() == 1)
                QTimer::singleShot(0, &w.form, &MainWindow::refresh);
        };
        w.field("Text4")->clear();
        w.field("Text5")->setText(QString::fromUtf8("ř"));  // one character is a key
        w.field("Text6")->setText(" ");
        w.field("Text7")->setText("dd");
        w.form.refresh();
        // One message per invalid field, in field order, each repaired before it shows.
        QCOMPARE(keysWhenShown.join('|'), QString::fromUtf8("Wř dd|Wř D"));
        QCOMPARE(w.lines().mid(15, 4).join('|'),
                 QString::fromUtf8("bind W forward|bind ř backward|bind   left|bind D right"));
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
        w.form.refresh();
        QCOMPARE(p->script(), defaultScript());
        // A steady tick leaves the document alone.
        QSignalSpy changes(p->document(), &QTextDocument::contentsChange);
        w.form.refresh();
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
        w.form.refresh();
        QCOMPARE(w.lines()[0], "name \"A much longer player name\"");
        QCOMPARE(p->verticalScrollBar()->value(), scroll);
        QCOMPARE(p->textCursor().blockNumber(), 40);
        QCOMPARE(p->textCursor().positionInBlock(), 3);
    }

    void saveWritesTheScript()
    {
        SavingWindow w;
        click(&w.form, "Command2");
        QCOMPARE(savedFile(), defaultScriptBytes());
        w.field("Text2")->setText(QString::fromUtf8("Kočička ✓"));
        w.field("Text6")->setText(QString::fromUtf8("ř"));
        w.form.refresh();
        const QByteArray expected = defaultScriptBytes()
                                        .replace("name \"...\"", "name \"Ko\xe8i\xe8ka ?\"")
                                        .replace("bind A left", "bind \xf8 left");
        QFile old(saved);  // a longer file leaves nothing behind
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(QByteArray(10000, 'z')) == 10000);
        old.close();
        click(&w.form, "Command2");
        QCOMPARE(savedFile(), expected);
        QFile::remove(saved);
        child<QAction>(&w.form, "save")->trigger();
        QCOMPARE(savedFile(), expected);
        QCOMPARE(QDir(scratch.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"autoexec.cfg"});

        // Save writes what the controls say even when no tick ran since the last edit.
        w.preview()->selectAll();
        QTest::keyClick(w.preview(), Qt::Key_Backspace);
        click(&w.form, "Command2");
        QCOMPARE(savedFile(), expected);
        w.field("Text3")->setText("Blue");
        child<QAction>(&w.form, "save")->trigger();
        QVERIFY(savedFile().contains("\r\nteam \"Blue\"\r\n"));
    }

    void saveFailureAndToolTip()
    {
        setLanguage(Language::Czech);
        TestWindow w;
        w.field("Text2")->setText("Kept");
        QWidget *save = child(&w.form, "Command2");
        const auto toolTip = [&] {
            QHelpEvent e(QEvent::ToolTip, QPoint(4, 4), save->mapToGlobal(QPoint(4, 4)));
            QApplication::sendEvent(save, &e);
            return save->toolTip();
        };
        // The tooltip names the file in the folder that Save writes into.
        const auto native = QDir::toNativeSeparators;
        QCOMPARE(toolTip(),
                 QString::fromUtf8("Uloží nastavení do ")
                     + native(QDir::current().absoluteFilePath("autoexec.cfg")));
        QTemporaryDir other;
        w.form.setSaveFolder(ScriptFile::Folder(QFile::encodeName(other.path())));
        const QString path = QDir(other.path()).absoluteFilePath("autoexec.cfg");
        QVERIFY(toolTip().endsWith(native(path)));
#ifndef Q_OS_WIN  // where a folder in use cannot be renamed, and QFile::link makes a shortcut
        // It names the folder as it is now, and the one a path through a link reaches.
        QVERIFY(QDir().rename(other.path(), other.path() + "-moved"));
        QVERIFY(toolTip().endsWith(other.path() + "-moved/autoexec.cfg"));
        QVERIFY(QDir().rename(other.path() + "-moved", other.path()));
        QVERIFY(QDir(other.path()).mkpath("a/b")
                && QFile::link(other.filePath("a/b"), other.filePath("lnk")));
        w.form.setSaveFolder(ScriptFile::Folder(QFile::encodeName(other.filePath("lnk/.."))));
        QVERIFY(toolTip().endsWith(other.filePath("a/autoexec.cfg")));
        w.form.setSaveFolder(ScriptFile::Folder(QFile::encodeName(other.path())));
#endif

        // A failed save says where and why, in the window's language, and keeps everything.
        QVERIFY(QDir().mkdir(path));
        // A key field spoilt while the box is open is repaired only after it closes.
        TestResponder modal;
        modal.onMessage = [&](const ModalResponder::Message &) {
            QCOMPARE(boxesShown(), 1);
            if (modal.messages.size() == 1) {
                w.field("Text4")->clear();
                QTimer::singleShot(0, &w.form, &MainWindow::refresh);
            }
        };
        click(&w.form, "Command2");
        setLanguage(Language::English);
        click(&w.form, "Command2");
        QCOMPARE(modal.messages.size(), 3);
        const ModalResponder::Message &repair = modal.messages[1];
        QCOMPARE(repair.title + ": " + repair.text, goldenMessage("keyRepaired", 2));
        for (int language : {1, 2}) {
            const ModalResponder::Message &m = modal.messages[2 * (language - 1)];
            QCOMPARE(m.icon, QMessageBox::Critical);
            QCOMPARE(m.title + ": " + m.text,
                     goldenMessage("saveFailed", language).arg(native(path)));
        }
        QCOMPARE(w.field("Text2")->text(), "Kept");
        QCOMPARE(toolTip(), "Saves the settings to " + native(path));
    }

    void closeEndsAtOnce_data()
    {
        QTest::addColumn<QByteArray>("way");
        for (const char *way : {"button", "Enter on the button", "menu", "Ctrl+Q", "close box"})
            QTest::newRow(way) << QByteArray(way);
    }
    void closeEndsAtOnce()
    {
        QFETCH(QByteArray, way);
        SavingWindow w;
        w.field("Text2")->setText("unsaved");
        QTimer::singleShot(0, &w.form, [&] {
            if (way == "button")
                click(&w.form, "Command3");
            else if (way == "Enter on the button")
                QTest::keyClick(child(&w.form, "Command3"), Qt::Key_Return);
            else if (way == "menu")
                child<QAction>(&w.form, "quit")->trigger();
            else if (way == "Ctrl+Q")
                QTest::keyClick(&w.form, Qt::Key_Q, Qt::ControlModifier);
            else
                w.form.close();
        });
        QTimer::singleShot(3000, [] { QCoreApplication::exit(99); });  // if Close did not end it
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!QFile::exists(saved));
    }
};

QTEST_MAIN(TestProgram)
#include "tst_mainwindow.moc"
