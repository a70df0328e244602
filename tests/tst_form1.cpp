// The main window: start state, refresh tick, key repair, preview, Reset, Save, Close.
#include "script/scriptfile.h"
#include "testkit.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>

static QStringList previewLines(Form1 &f)
{
    return f.previewText().split(QStringLiteral("\r\n"));
}

static QByteArray savedFile()
{
    QFile f(ScriptFile::fileName());
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

static void wheel(QWidget *w, int delta)
{
    QWheelEvent e(QPointF(8, 8), w->mapToGlobal(QPointF(8, 8)), {}, {0, delta}, Qt::NoButton, {},
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
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
        QCOMPARE(form.ui->centralwidget->size(), QSize(469, 351));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(!(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        QTRY_COMPARE(form.previewText(), scriptFor(ScriptSettings()));  // by the real timer
        QCOMPARE(form.readSettings(), ScriptSettings());
        const auto &u = *form.ui;
        QCOMPARE(QStringList({u.Label7->text(), u.Label8->text(), u.Label4->text(), u.Label6->text(),
                              u.Label10->text()}), QStringList({"3", "90", "150", "150", "100"}));

        // Tab visits the bars and stops once in the fps group, on its selected option.
        const QList<QWidget *> order{u.Text2, u.Text3, u.Check1, u.VScroll1, u.VScroll2, u.VScroll3,
                                     u.VScroll4, u.Option4, u.VScroll5, u.Text4, u.Text5, u.Text6,
                                     u.Text7, u.Command1, u.Command2, u.Command3, u.Text1};
        QList<QWidget *> seen{QApplication::focusWidget()};
        for (int i = 1; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen << QApplication::focusWidget();
        }
        QCOMPARE(seen, order);
        u.VScroll5->setFocus();  // Backtab into the group lands on the selected option too
        QTest::keyClick(u.VScroll5, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget(), u.Option4);
    }

    void arrowBarsAndReset()
    {
        TestWindow w;
        QScrollBar *bar = w.ui.VScroll3;
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(8, 3));  // upper arrow
        QCOMPARE(bar->value(), 996);
        w.form.Timer1_Timer();  // one tick shows it
        QCOMPARE(w.ui.Label7->text(), "4");
        QCOMPARE(previewLines(w.form)[3], "sensitivity 4");
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(8, 14));  // lower arrow
        QCOMPARE(bar->value(), 997);
        const std::pair<Qt::Key, int> keys[] = {{Qt::Key_Up, 996}, {Qt::Key_Down, 997}, {Qt::Key_PageUp, 996},
                                                {Qt::Key_PageDown, 997}, {Qt::Key_Home, 1}, {Qt::Key_End, 1000}};
        for (const auto &[key, value] : keys) {
            QTest::keyClick(bar, key);
            QCOMPARE(bar->value(), value);
        }
        wheel(bar, 120);  // one notch up, one step towards a higher game value
        QCOMPARE(bar->value(), 999);
        wheel(bar, -240);
        QCOMPARE(bar->value(), 1000);  // held at Max
        w.form.Timer1_Timer();
        QCOMPARE(w.ui.Label7->text(), "0");

        // Reset brings every control back and leaves the preview to the next tick.
        w.ui.Text2->setText("q");
        w.ui.Text7->setText("l");
        w.ui.Check1->setChecked(true);
        w.ui.VScroll5->setValue(0);
        w.ui.Option2->setChecked(true);
        w.form.Timer1_Timer();
        const QString changed = w.form.previewText();
        w.ui.Command1->click();
        QCOMPARE(w.form.readSettings(), ScriptSettings());
        QCOMPARE(w.form.previewText(), changed);
        w.form.Timer1_Timer();
        QCOMPARE(w.form.previewText(), scriptFor(ScriptSettings()));
        QCOMPARE(w.ui.Label7->text(), "3");
    }

    void keyRepair()
    {
        const char *messages[] = {"Chyba: Chybná hodnota", "Chyba: Chybná hodnota", "Error: Erroneous statement"};
        for (qint16 language : {qint16(0), qint16(1), qint16(2)}) {
            Module1::LanguageId = language;
            TestWindow w;
            ModalResponder modal;
            QStringList keysWhenShown;
            modal.onMessage = [&](const ModalResponder::Message &m) {
                QCOMPARE(m.title + ": " + m.text, QString::fromUtf8(messages[language]));
                QCOMPARE(m.icon, QMessageBox::NoIcon);
                keysWhenShown << w.ui.Text4->text() + w.ui.Text5->text() + w.ui.Text6->text() + w.ui.Text7->text();
            };
            w.ui.Text4->clear();
            w.ui.Text5->setText("Sx");
            w.ui.Text6->setText(" ");  // one space is a key
            w.ui.Text7->setText("dd");
            w.form.Timer1_Timer();
            // One message per invalid field, in field order, each repaired before it shows.
            QCOMPARE(keysWhenShown, QStringList({"WSx dd", "WS dd", "WS D"}));
            QCOMPARE(previewLines(w.form).mid(15, 4).join('|'), "bind W forward|bind S backward|bind   left|bind D right");
        }
    }

    void previewFollowsTheTick()
    {
        TestWindow w;
        QPlainTextEdit *p = w.ui.Text1;
        QCOMPARE(p->document()->blockCount(), 59);
        // Typed text goes at the next tick, even with the settings unchanged.
        p->setFocus();
        QTest::keyClicks(p, "junk");
        QTest::keyClick(p, Qt::Key_Return);
        QVERIFY(w.form.previewText().startsWith("junk\r\n"));
        w.form.Timer1_Timer();
        QCOMPARE(w.form.previewText(), scriptFor(ScriptSettings()));
        QCOMPARE(p->textCursor().position(), 0);
        // A steady tick leaves the document alone.
        QSignalSpy changes(p->document(), &QTextDocument::contentsChange);
        w.form.Timer1_Timer();
        QCOMPARE(changes.count(), 0);

        // Without scroll bars, the keyboard and the wheel reach the last line...
        QTest::keyClick(p, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(p->viewport()->rect().contains(p->cursorRect()));
        QCOMPARE(p->textCursor().block().text(), previewLines(w.form).last());
        const int scroll = p->verticalScrollBar()->value();
        QVERIFY(scroll > 0);
        wheel(p->viewport(), 120);
        QVERIFY(p->verticalScrollBar()->value() < scroll);
        p->verticalScrollBar()->setValue(scroll);
        // ...and a changed tick keeps the scroll position and the caret.
        QTextCursor caret = p->textCursor();
        caret.setPosition(p->document()->findBlockByNumber(40).position() + 3);
        p->setTextCursor(caret);
        w.ui.Text2->setText("A much longer player name");
        w.ui.VScroll3->setValue(500);
        w.form.Timer1_Timer();
        QCOMPARE(previewLines(w.form)[0], "name \"A much longer player name\"");
        QCOMPARE(p->verticalScrollBar()->value(), scroll);
        QCOMPARE(p->textCursor().blockNumber(), 40);
        QCOMPARE(p->textCursor().positionInBlock(), 3);
    }

    void saveWritesThePreview()
    {
        TestWindow w;
        w.ui.Text2->setText(QString::fromUtf8("Kočička ✓"));
        w.form.Timer1_Timer();
        const QByteArray expected = ScriptFile::encode(scriptFor(w.form.readSettings()));
        QVERIFY(expected.startsWith("name \"Ko\xe8i\xe8ka ?\"\r\nteam"));
        QFile old(ScriptFile::fileName());  // a longer file leaves nothing behind
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write(QByteArray(10000, 'z')) == 10000);
        old.close();
        w.ui.Command2->click();
        QCOMPARE(savedFile(), expected);
        QVERIFY(!expected.endsWith("\r\n") && expected.count("\r\n") == 58 && expected.count('\n') == 58);
        QFile::remove(ScriptFile::fileName());
        w.ui.save->trigger();
        QCOMPARE(savedFile(), expected);
        w.ui.save->trigger();
        QCOMPARE(savedFile(), expected);
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{"autoexec.cfg"});
    }

    void closeEndsAtOnce()
    {
        for (int way = 0; way < 4; ++way) {
            TestWindow w;
            w.ui.Text2->setText("unsaved");
            QTimer::singleShot(0, &w.form, [&] {
                if (way == 0) w.ui.Command3->click();
                if (way == 1) w.ui.quit->trigger();
                if (way == 2) QTest::keyClick(&w.form, Qt::Key_Q, Qt::ControlModifier);
                if (way == 3) w.form.close();
            });
            QTimer guard;  // ends a loop that Close failed to end
            connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
            guard.start(3000);
            QCOMPARE(QApplication::exec(), 0);
            QVERIFY(!QFile::exists(ScriptFile::fileName()));
        }
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
