// The main window: start state, refresh tick, key repair, preview, Reset, Save, Close.
#include "script/scriptfile.h"
#include "testkit.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>

class TestForm1 : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;
    QString m_oldCwd;

    static QStringList previewLines(TestWindow &w)
    {
        return w.form.previewText().split(QStringLiteral("\r\n"));
    }
    static QByteArray savedFile()
    {
        QFile f(ScriptFile::fileName());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

private slots:
    void initTestCase()
    {
        initTestApplication();
        QVERIFY(m_dir.isValid());
        m_oldCwd = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path()));
    }
    void cleanupTestCase() { QDir::setCurrent(m_oldCwd); }
    void init()
    {
        Module1::LanguageId = 0;
        QFile::remove(ScriptFile::fileName());
    }

    void startState()
    {
        Form1 form;
        QCOMPARE(form.Timer1->interval(), 10);
        QVERIFY(form.Timer1->isActive());
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QCOMPARE(QApplication::focusWidget(), form.ui->Text2);
        QCOMPARE(form.ui->centralwidget->size(), QSize(469, 351));
        QCOMPARE(form.minimumSize(), form.maximumSize());
        QVERIFY(!(form.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
        // The real timer fills the preview from the controls.
        QTRY_COMPARE(form.previewText(), scriptFor(ScriptSettings()));
        QCOMPARE(form.readSettings(), ScriptSettings());
        const QStringList labels{form.ui->Label7->text(), form.ui->Label8->text(),
                                 form.ui->Label4->text(), form.ui->Label6->text(),
                                 form.ui->Label10->text()};
        QCOMPARE(labels, QStringList({"3", "90", "150", "150", "100"}));
    }

    void tabOrder()
    {
        TestWindow w;
        const QList<QWidget *> expected{
            w.ui.Text2, w.ui.Text3, w.ui.Check1, w.ui.VScroll1, w.ui.VScroll2,
            w.ui.VScroll3, w.ui.VScroll4, w.ui.Option4, w.ui.VScroll5, w.ui.Text4,
            w.ui.Text5, w.ui.Text6, w.ui.Text7, w.ui.Command1, w.ui.Command2,
            w.ui.Command3, w.ui.Text1};
        w.ui.Text2->setFocus();
        QList<QWidget *> seen{QApplication::focusWidget()};
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            seen << QApplication::focusWidget();
        }
        QCOMPARE(seen, expected);
        QList<QWidget *> back{QApplication::focusWidget()};
        for (int i = 1; i < expected.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
            back.prepend(QApplication::focusWidget());
        }
        QCOMPARE(back, expected);
    }

    void arrowBarsStepByOne()
    {
        TestWindow w;
        QScrollBar *bar = w.ui.VScroll3;
        // Upper arrow: value 996, and one tick later the label and line 4 show 4.
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(8, 3));
        QCOMPARE(bar->value(), 996);
        w.form.Timer1_Timer();
        QCOMPARE(w.ui.Label7->text(), "4");
        QCOMPARE(previewLines(w)[3], "sensitivity 4");
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(8, 14));
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(8, 14));
        QCOMPARE(bar->value(), 998);

        bar->setFocus();
        const std::pair<Qt::Key, int> keys[] = {{Qt::Key_Up, 997}, {Qt::Key_Down, 998},
                                                {Qt::Key_PageUp, 997}, {Qt::Key_PageDown, 998},
                                                {Qt::Key_Home, 1}, {Qt::Key_End, 1000}};
        for (const auto &[key, value] : keys) {
            QTest::keyClick(bar, key);
            QCOMPARE(bar->value(), value);
        }
        // One notch of the wheel is one step, up raising the game value.
        const QPoint centre(8, 8);
        QWheelEvent up(centre, bar->mapToGlobal(centre), {}, {0, 120}, Qt::NoButton, {},
                       Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &up);
        QCOMPARE(bar->value(), 999);
        QWheelEvent down(centre, bar->mapToGlobal(centre), {}, {0, -120}, Qt::NoButton, {},
                         Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &down);
        QApplication::sendEvent(bar, &down);
        QCOMPARE(bar->value(), 1000);  // held at Max
        w.form.Timer1_Timer();
        QCOMPARE(w.ui.Label7->text(), "0");
    }

    void keyRepair_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("not chosen") << 0 << "Chyba" << QString::fromUtf8("Chybná hodnota");
        QTest::newRow("czech") << 1 << "Chyba" << QString::fromUtf8("Chybná hodnota");
        QTest::newRow("english") << 2 << "Error" << "Erroneous statement";
    }
    void keyRepair()
    {
        QFETCH(int, language);
        QFETCH(QString, title);
        QFETCH(QString, text);
        Module1::LanguageId = qint16(language);
        TestWindow w;
        ModalResponder modal;
        QStringList fieldsWhenShown;
        modal.onMessage = [&](const ModalResponder::Message &) {
            fieldsWhenShown << w.ui.Text4->text() + w.ui.Text5->text() + w.ui.Text6->text()
                    + w.ui.Text7->text();
        };
        w.ui.Text4->clear();
        w.ui.Text5->setText("Sx");
        w.ui.Text6->setText(" ");   // one space is a key
        w.ui.Text7->setText("dd");
        w.form.Timer1_Timer();
        QCOMPARE(modal.messages.size(), 3);
        for (const auto &m : modal.messages) {
            QCOMPARE(m.title, title);
            QCOMPARE(m.text, text);
            QCOMPARE(m.icon, QMessageBox::NoIcon);
        }
        // In field order, each field repaired before its message.
        QCOMPARE(fieldsWhenShown, QStringList({"WSx dd", "WS dd", "WS D"}));
        QCOMPARE(previewLines(w).mid(15, 4),
                 QStringList({"bind W forward", "bind S backward", "bind   left", "bind D right"}));
        w.form.Timer1_Timer();
        QCOMPARE(modal.messages.size(), 3);
    }

    void tickWhileMessageOpen()
    {
        // A tick that runs while another tick's message is open finds the reported
        // field repaired and reports only the other invalid one.
        TestWindow w;
        ModalResponder modal;
        modal.onMessage = [&](const ModalResponder::Message &) {
            if (modal.messages.size() == 1)
                QTimer::singleShot(0, &w.form, [&] { w.form.Timer1_Timer(); });
        };
        w.ui.Text4->setText("");
        w.ui.Text5->setText("");
        w.form.Timer1_Timer();
        QCOMPARE(modal.messages.size(), 2);
        QCOMPARE(w.ui.Text4->text(), "W");
        QCOMPARE(w.ui.Text5->text(), "S");
    }

    void resetRestoresStart()
    {
        TestWindow w;
        w.ui.Text2->setText("Joe");
        w.ui.Text3->setText("Red");
        w.ui.Text4->setText("i");
        w.ui.Text7->setText("l");
        w.ui.Check1->setChecked(true);
        for (QScrollBar *b : {w.ui.VScroll1, w.ui.VScroll2, w.ui.VScroll3, w.ui.VScroll4, w.ui.VScroll5})
            b->setValue(b->minimum());
        w.ui.Option2->setChecked(true);
        w.form.Timer1_Timer();
        QVERIFY(w.form.readSettings() != ScriptSettings());
        const QString preview = w.form.previewText();
        w.ui.Command1->click();
        QCOMPARE(w.form.readSettings(), ScriptSettings());
        QVERIFY(!w.ui.Option2->isChecked());
        QCOMPARE(w.form.previewText(), preview);  // the next tick shows it
        w.form.Timer1_Timer();
        QCOMPARE(w.form.previewText(), scriptFor(ScriptSettings()));
        QCOMPARE(w.ui.Label7->text(), "3");
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
        QVERIFY(w.form.previewText().startsWith("junk"));
        w.form.Timer1_Timer();
        QCOMPARE(w.form.previewText(), scriptFor(ScriptSettings()));
        p->selectAll();
        QTest::keyClick(p, Qt::Key_Delete);
        w.form.Timer1_Timer();
        QCOMPARE(w.form.previewText(), scriptFor(ScriptSettings()));

        // A steady tick leaves the document alone.
        QSignalSpy changes(p->document(), &QTextDocument::contentsChange);
        w.form.Timer1_Timer();
        QCOMPARE(changes.count(), 0);

        // The last line can be reached and shown with the keyboard; a change keeps
        // the scroll position and the caret where they were.
        QTest::keyClick(p, Qt::Key_End, Qt::ControlModifier);
        QVERIFY(p->viewport()->rect().contains(p->cursorRect()));
        QCOMPARE(p->textCursor().block().text(), previewLines(w).last());
        const int scroll = p->verticalScrollBar()->value();
        QVERIFY(scroll > 0);
        const QPoint at(20, 20);
        QWheelEvent wheel(at, p->viewport()->mapToGlobal(at), {}, {0, 120}, Qt::NoButton, {},
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(p->viewport(), &wheel);
        QVERIFY(p->verticalScrollBar()->value() < scroll);
        p->verticalScrollBar()->setValue(scroll);
        QTextCursor caret = p->textCursor();
        caret.setPosition(p->document()->findBlockByNumber(40).position() + 3);
        p->setTextCursor(caret);
        w.ui.Text2->setText("A much longer player name");
        w.ui.VScroll3->setValue(500);
        w.form.Timer1_Timer();
        QCOMPARE(previewLines(w)[0], "name \"A much longer player name\"");
        QCOMPARE(p->verticalScrollBar()->value(), scroll);
        QCOMPARE(p->textCursor().blockNumber(), 40);
        QCOMPARE(p->textCursor().positionInBlock(), 3);
    }

    void hostileFieldsKeepLines()
    {
        TestWindow w;
        ModalResponder modal;
        const QString nasty = QStringLiteral("a\nb\r\nc") + QChar(0x2029) + QChar(0) + "\"; quit";
        w.ui.Text2->setText(nasty);
        w.ui.Text3->insert(QString(100000, u'x'));
        w.ui.Text4->setText(QStringLiteral("\n"));
        w.form.Timer1_Timer();
        QCOMPARE(previewLines(w).size(), 59);
        QCOMPARE(w.ui.Text1->document()->blockCount(), 59);
        QCOMPARE(w.form.previewText(), scriptFor(w.form.readSettings()));
    }

    void saveWritesThePreview()
    {
        TestWindow w;
        w.ui.Text2->setText(QString::fromUtf8("Kočička ✓"));
        w.ui.VScroll4->setValue(0);
        w.form.Timer1_Timer();
        const QByteArray expected = ScriptFile::encode(scriptFor(w.form.readSettings()));
        QVERIFY(expected.startsWith("name \"Ko\xe8i\xe8ka ?\"\r\nteam"));

        // Over a longer file: nothing of it remains.
        QFile old(ScriptFile::fileName());
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(10000, 'z'));
        old.close();
        w.ui.Command2->click();
        const QByteArray byButton = savedFile();
        QCOMPARE(byButton, expected);
        QVERIFY(!byButton.endsWith("\r\n"));
        QCOMPARE(byButton.count("\r\n"), 58);
        QCOMPARE(byButton.count('\n'), 58);
        QVERIFY(byButton.contains("//Vytvo\xf8" "eno"));

        QFile::remove(ScriptFile::fileName());
        w.ui.save->trigger();
        QCOMPARE(savedFile(), byButton);
        w.ui.save->trigger();
        QCOMPARE(savedFile(), byButton);
        QCOMPARE(QDir().entryList(QDir::Files | QDir::Hidden), QStringList{"autoexec.cfg"});
    }

    void closeEndsAtOnce_data()
    {
        QTest::addColumn<int>("way");
        QTest::newRow("button") << 0;
        QTest::newRow("menu") << 1;
        QTest::newRow("ctrl+q") << 2;
        QTest::newRow("close box") << 3;
    }
    void closeEndsAtOnce()
    {
        QFETCH(int, way);
        TestWindow w;
        w.ui.Text2->setText("unsaved");
        QTimer::singleShot(0, &w.form, [&] {
            switch (way) {
            case 0: w.ui.Command3->click(); break;
            case 1: w.ui.quit->trigger(); break;
            case 2: QTest::keyClick(&w.form, Qt::Key_Q, Qt::ControlModifier); break;
            default: w.form.close(); break;
            }
        });
        QTimer::singleShot(3000, [] { QCoreApplication::exit(99); });
        QCOMPARE(QApplication::exec(), 0);
        QVERIFY(!QFile::exists(ScriptFile::fileName()));
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
