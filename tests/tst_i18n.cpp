// Language dialog, caption tables, help, about box, links and caption fit.
#include "about/form3.h"
#include "i18n/captions.h"
#include "i18n/form2.h"
#include "script/maker.h"
#include "script/scriptfile.h"
#include "testkit.h"
#include "ui_form2.h"
#include "ui_form3.h"

#include <QAbstractButton>
#include <QDesktopServices>
#include <QDir>
#include <QGroupBox>
#include <QMenu>
#include <QTest>

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QStringList urls;
public slots:
    void open(const QUrl &url) { urls << url.toString(); }
};

namespace {

QString captionOf(QWidget *window, const char *target)
{
    if (!*target)
        return window->windowTitle();
    QObject *o = nullptr;
    if (auto *form = qobject_cast<Form1 *>(window)) {
        o = form->ui->centralwidget->findChild<QObject *>(target);
        if (!o)
            o = form->ui->menubar->findChild<QObject *>(target);
        if (!o)
            o = form->findChild<QAction *>(target);
    } else {
        o = window->findChild<QObject *>(target);
    }
    if (auto *m = qobject_cast<QMenu *>(o)) return m->title();
    if (auto *a = qobject_cast<QAction *>(o)) return a->text();
    if (auto *g = qobject_cast<QGroupBox *>(o)) return g->title();
    if (auto *l = qobject_cast<QLabel *>(o)) return l->text();
    if (auto *b = qobject_cast<QAbstractButton *>(o)) return b->text();
    return QStringLiteral("<no %1>").arg(QLatin1String(target));
}

// The relabelled captions as the two windows show them (the main window's
// alone without a dialog).
QStringList shownCaptions(Form2 *dialog, Form1 *main)
{
    QStringList out;
    for (const Caption &c : Captions)
        if (dialog || c.window == Caption::Main)
            out << captionOf(c.window == Caption::Dialog ? static_cast<QWidget *>(dialog) : main, c.target);
    return out;
}

QStringList column(int language)
{
    QStringList out;
    for (const Caption &c : Captions)
        out << QString::fromUtf8(language == 1 ? c.czech : c.english);
    return out;
}

// Captions that no language touches, with their design-time texts.
QStringList untouched(Form1 &f)
{
    const auto &u = *f.ui;
    return {f.windowTitle(), u.Command1->text(), u.Check1->text(), u.Option1->text(),
            u.Option2->text(), u.Option3->text(), u.Option4->text(), u.Option5->text(),
            u.help1->text(), u.Label15->text()};
}

bool isLinkStyled(QLabel *l)
{
    return l->palette().color(QPalette::WindowText) == QColor(0, 0, 255) && l->font().bold()
        && l->font().underline() && l->size() == l->sizeHint();
}

// Runs `steps` in order, one per appearance of a modal window, from inside its loop.
struct Script {
    ModalResponder modal;
    QList<std::function<void(QWidget *)>> steps;
    int done = 0;
    Script()
    {
        modal.onWindow = [this](QWidget *w) {
            if (done < steps.size() && !w->property("handled").toBool()) {
                w->setProperty("handled", true);
                // Not from the responder's own timer, which a nested loop would block.
                QTimer::singleShot(0, w, [this, w, step = steps[done++]] { step(w); });
            }
        };
    }
};

Form2 *dialogOf(QWidget *w)
{
    return qobject_cast<Form2 *>(w);
}

} // namespace

class TestI18n : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { initTestApplication(); }
    void init() { Module1::LanguageId = 0; }

    void firstOpeningIsEnglishBeforeAnythingShows()
    {
        Form1 f;
        const QStringList designTime = untouched(f);
        Script s;
        bool mainVisible = true;
        QStringList captions;
        int language = -1;
        s.steps << [&](QWidget *w) {
            Form2 *d = dialogOf(w);
            QVERIFY(d);
            language = Module1::LanguageId;
            mainVisible = f.isVisible();
            captions = shownCaptions(d, &f);
            QVERIFY(d->ui->Option2->isChecked());
            QCOMPARE(d->size(), QSize(159, 110));
            QVERIFY(d->windowFlags() & Qt::Tool);
            d->ui->Command1->click();
        };
        f.Form_Load();
        QCOMPARE(s.done, 1);
        QCOMPARE(language, 2);
        QVERIFY(!mainVisible);
        QCOMPARE(captions, column(2));
        QCOMPARE(untouched(f), designTime);
        QVERIFY(isLinkStyled(f.ui->Label15));
        QCOMPARE(f.ui->Label15->pos(), QPoint(8, 328));
    }

    void czechStaysOnReopening()
    {
        Form1 f;
        Script s;
        QStringList atClick, onReopen;
        bool reopenedCzech = false;
        s.steps << [&](QWidget *w) {
            Form2 *d = dialogOf(w);
            d->ui->Option1->click();
            QCOMPARE(Module1::LanguageId, qint16(1));
            atClick = shownCaptions(d, &f);  // relabelled while the dialog is open
            d->ui->Command1->click();
        };
        s.steps << [&](QWidget *w) {
            Form2 *d = dialogOf(w);
            reopenedCzech = d->ui->Option1->isChecked() && !d->ui->Option2->isChecked();
            onReopen = shownCaptions(d, &f);
            d->close();  // the close box keeps the choice as OK does
        };
        f.Form_Load();
        f.lang_Click();
        QCOMPARE(s.done, 2);
        QCOMPARE(atClick, column(1));
        QVERIFY(reopenedCzech);
        QCOMPARE(onReopen, column(1));
        QCOMPARE(Module1::LanguageId, qint16(1));
        QCOMPARE(f.ui->Command2->text(), QString::fromUtf8("Uložit"));
    }

    void switchingEndsWithOneColumn_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::newRow("2-1-2") << QList<int>{2, 1, 2};
        QTest::newRow("1-2-1") << QList<int>{1, 2, 1};
        QTest::newRow("same option twice") << QList<int>{1, 1};
    }
    void switchingEndsWithOneColumn()
    {
        QFETCH(QList<int>, clicks);
        Form1 f;
        const QStringList designTime = untouched(f);
        Script s;
        QStringList last;
        s.steps << [&](QWidget *w) {
            Form2 *d = dialogOf(w);
            for (int option : clicks)
                (option == 1 ? d->ui->Option1 : d->ui->Option2)->click();
            last = shownCaptions(d, &f);
            QCOMPARE(untouched(f), designTime);
            d->ui->Command1->click();
        };
        f.lang_Click();
        QCOMPARE(Module1::LanguageId, qint16(clicks.last()));
        QCOMPARE(last, column(clicks.last()));
        QCOMPARE(shownCaptions(nullptr, &f), column(clicks.last()).mid(3));
    }

    void noLanguageNoCaptions()
    {
        Form1 f;
        Form2 d(&f);
        const QStringList before = shownCaptions(&d, &f);
        for (qint16 other : {qint16(0), qint16(3), qint16(-1)}) {
            Module1::LanguageId = other;
            float aktiv = 2.0f;
            d.optjazyk(aktiv);
            QCOMPARE(aktiv, 2.0f);
            QCOMPARE(shownCaptions(&d, &f), before);
        }
        // The column follows the language alone, whatever aktiv says.
        Module1::LanguageId = 2;
        float aktiv = 1.0f;
        d.optjazyk(aktiv);
        QCOMPARE(shownCaptions(&d, &f), column(2));
    }

    void helpFollowsLanguage()
    {
        Form1 f;
        ModalResponder modal;
        for (qint16 language : {qint16(0), qint16(1), qint16(2), qint16(5)}) {
            Module1::LanguageId = language;
            f.ui->help1->trigger();
        }
        QCOMPARE(modal.messages.size(), 2);
        QCOMPARE(modal.messages[0].title, QString::fromUtf8("Nápověda"));
        QCOMPARE(modal.messages[0].text, QString::fromUtf8("Tento program musí být ve složce se hrou"));
        QCOMPARE(modal.messages[1].title, "Help");
        QCOMPARE(modal.messages[1].text, "This program must exist in folders with games");
        for (const auto &m : modal.messages)
            QCOMPARE(m.icon, QMessageBox::Information);
    }

    void aboutBoxSameInBothLanguages()
    {
        Form1 f;
        QList<QStringList> texts;
        Script s;
        for (int i = 0; i < 2; ++i)
            s.steps << [&](QWidget *w) {
                auto *a = qobject_cast<Form3 *>(w);
                QVERIFY(a);
                QStringList t{a->windowTitle()};
                for (QLabel *l : a->findChildren<QLabel *>())
                    t << l->objectName() + "=" + l->text();
                texts << t;
                QCOMPARE(a->size(), QSize(327, 203));
                QVERIFY(isLinkStyled(a->ui->Label3));  // after every opening
                QCOMPARE(a->ui->Image1->size(), QSize(64, 120));
                QCOMPARE(a->ui->Image1->pixmap().size(), QSize(64, 120));
                QCOMPARE(a->ui->Image2->pixmap().size(), QSize(64, 38));
                QCOMPARE(a->ui->Label6->text(), " v1.0" + QString(54, u' ') + "Id.:21210");
                a->close();
            };
        Module1::LanguageId = 1;
        f.about_Click();
        Module1::LanguageId = 2;
        f.ui->about->trigger();
        QCOMPARE(s.done, 2);
        QCOMPARE(texts[0], texts[1]);
        QCOMPARE(texts[0].first(), "About Quorrel - setup");
        QCOMPARE(f.ui->Image1->pixmap().size(), QSize(52, 100));
    }

    void aboutFromDialogReturnsToIt()
    {
        Form1 f;
        Script s;
        bool backWithCzech = false;
        s.steps << [&](QWidget *w) {
            Form2 *d = dialogOf(w);
            d->ui->Option1->click();
            d->ui->Command2->click();  // returns when the about box closes
            backWithCzech = d->isVisible() && d->ui->Option1->isChecked()
                && Module1::LanguageId == 1 && QApplication::activeModalWidget() == d;
            d->ui->Command1->click();
        };
        s.steps << [](QWidget *w) {
            QVERIFY(qobject_cast<Form3 *>(w));
            w->close();
        };
        f.lang_Click();
        QCOMPARE(s.done, 2);
        QVERIFY(backWithCzech);
    }

    void linksAskTheDesktop()
    {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler("http", &recorder, "open");
        Form1 f;
        Script s;
        s.steps << [](QWidget *w) {
            auto *a = qobject_cast<Form3 *>(w);
            for (ClickableLabel *l : {a->ui->Image1, a->ui->Image2, a->ui->Label3})
                for (int i = 0; i < 2; ++i)
                    QTest::mouseClick(l, Qt::LeftButton);
            QVERIFY(a->isVisible());
            a->close();
        };
        f.about_Click();
        for (int i = 0; i < 2; ++i)
            QTest::mouseClick(f.ui->Label15, Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("http");
        const QString game = Maker::GameUrl, web = Maker::WebUrl;
        QCOMPARE(recorder.urls, QStringList({game, game, web, web, web, web, web, web}));
        QVERIFY(game != web);
        QVERIFY(f.ui->Label15->text() == Maker::WebText && QString(web).contains(Maker::WebText));
    }

    void captionsFitTheirBoxes()
    {
        // Every caption, in both languages, is drawn whole inside its box.
        for (int language : {1, 2}) {
            Module1::LanguageId = qint16(language);
            Form1 f;
            Form2 d(&f);
            Form3 a(&f);
            float aktiv = 1.0f;
            d.optjazyk(aktiv);
            QStringList clipped;
            for (QWidget *window : std::initializer_list<QWidget *>{&f, &d, &a}) {
                for (QWidget *w : window->findChildren<QWidget *>()) {
                    const QFontMetrics fm = w->fontMetrics();
                    int need = 0;
                    if (auto *l = qobject_cast<QLabel *>(w); l && l->pixmap().isNull())
                        need = fm.horizontalAdvance(l->text());
                    else if (qobject_cast<QRadioButton *>(w) || qobject_cast<QCheckBox *>(w))
                        need = w->sizeHint().width();
                    else if (auto *b = qobject_cast<QPushButton *>(w))
                        need = fm.horizontalAdvance(b->text()) + 8;
                    else if (auto *g = qobject_cast<QGroupBox *>(w))
                        need = fm.horizontalAdvance(g->title()) + 12;
                    if (need > w->width() || (need && fm.height() > w->height() + 1))
                        clipped << QStringLiteral("%1 %2: needs %3 of %4")
                                       .arg(window->objectName(), w->objectName())
                                       .arg(need)
                                       .arg(w->width());
                }
            }
            QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join("; ")));
        }
    }

    void namesForScreenReadersAndSaveTips()
    {
        Form1 f;
        Form2 d(&f);
        const QString path = QDir::current().absoluteFilePath("autoexec.cfg");
        Module1::LanguageId = 1;
        float aktiv = 1.0f;
        d.optjazyk(aktiv);
        QCOMPARE(f.ui->VScroll3->accessibleName(), "Rychlost");
        QCOMPARE(f.ui->VScroll5->accessibleName(), "Gamma");
        QCOMPARE(f.ui->Text4->accessibleName(), "Nahoru");
        QVERIFY(f.ui->Command2->toolTip().contains(QString::fromUtf8("Uloží")));
        QVERIFY(f.ui->Command2->toolTip().contains(path));
        QCOMPARE(f.ui->save->toolTip(), f.ui->Command2->toolTip());
        Module1::LanguageId = 2;
        d.optjazyk(aktiv);
        QCOMPARE(f.ui->VScroll3->accessibleName(), "Speed");
        QCOMPARE(f.ui->VScroll1->accessibleName(), "Music");
        QVERIFY(f.ui->Command2->toolTip().startsWith("Saves"));
        QVERIFY(f.ui->save->toolTip().contains(path));
    }
};

QTEST_MAIN(TestI18n)
#include "tst_i18n.moc"
