// Language dialog, caption table, help, about box, links and caption fit.
#include "about/form3.h"
#include "i18n/captions.h"
#include "i18n/form2.h"
#include "script/maker.h"
#include "testkit.h"
#include "ui_form2.h"
#include "ui_form3.h"

#include <QDesktopServices>
#include <QDir>
#include <QGroupBox>
#include <QMenu>

class UrlRecorder : public QObject {
    Q_OBJECT
public:
    QStringList urls;
public slots:
    void open(const QUrl &url) { urls << url.toString(); }
};

namespace {

// Every caption of one window by object name, "" for its title; dialogs
// parented to it are windows of their own.
using Texts = QMap<QString, QString>;
Texts captions(QWidget *window)
{
    Texts m;
    for (QObject *o : window->findChildren<QObject *>()) {
        QWidget *owner = qobject_cast<QMenu *>(o) ? static_cast<QWidget *>(o->parent()) : qobject_cast<QWidget *>(o);
        if (owner ? owner->window() != window : o->parent() != window)
            continue;
        if (auto *m2 = qobject_cast<QMenu *>(o)) m[o->objectName()] = m2->title();
        else if (auto *a = qobject_cast<QAction *>(o)) m[o->objectName()] = a->text();
        else if (auto *g = qobject_cast<QGroupBox *>(o)) m[o->objectName()] = g->title();
        else if (auto *l = qobject_cast<QLabel *>(o)) m[o->objectName()] = l->text();
        else if (auto *b = qobject_cast<QAbstractButton *>(o)) m[o->objectName()] = b->text();
    }
    m.remove(QString());  // unnamed helpers
    m[""] = window->windowTitle();
    return m;
}

// The design-time captions with one column of the table laid over them.
Texts expected(Texts design, Caption::Window window, int language)
{
    for (const Caption &c : Captions)
        if (c.window == window)
            design[c.target] = QString::fromUtf8(language == 1 ? c.czech : c.english);
    return design;
}

bool isLinkStyled(QLabel *l)
{
    return l->palette().color(QPalette::WindowText) == QColor(0, 0, 255) && l->font().bold()
        && l->font().underline() && l->size() == l->sizeHint();
}

Form2 *dialog(QWidget *w)
{
    return qobject_cast<Form2 *>(w);
}

} // namespace

class TestI18n : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { initTestApplication(); }
    void init() { Module1::LanguageId = 0; }

    void startAndReopen()
    {
        Form1 f;
        const Texts main = captions(&f), dlg = captions(new Form2(nullptr, &f));
        ModalResponder s;
        s.steps << [&](QWidget *w) {  // English before anything shows
            QCOMPARE(Module1::LanguageId, qint16(2));
            QVERIFY(!f.isVisible());
            QCOMPARE(captions(w), expected(dlg, Caption::Dialog, 2));
            QCOMPARE(captions(&f), expected(main, Caption::Main, 2));
            QCOMPARE(w->size(), QSize(159, 110));
            QVERIFY(w->windowFlags() & Qt::Tool);
            dialog(w)->ui->Command1->click();
        };
        s.steps << [&](QWidget *w) {  // Czech at once, while the dialog is open
            dialog(w)->ui->Option1->click();
            QCOMPARE(captions(w), expected(dlg, Caption::Dialog, 1));
            QCOMPARE(captions(&f), expected(main, Caption::Main, 1));
            dialog(w)->ui->Command1->click();
        };
        s.steps << [&](QWidget *w) {  // and again on reopening; the close box keeps it
            QVERIFY(dialog(w)->ui->Option1->isChecked() && !dialog(w)->ui->Option2->isChecked());
            QCOMPARE(captions(w), expected(dlg, Caption::Dialog, 1));
            w->close();
        };
        f.Form_Load();
        QVERIFY(isLinkStyled(f.ui->Label15));
        QCOMPARE(f.ui->Label15->pos(), QPoint(8, 328));
        f.ui->lang->trigger();
        f.lang_Click();
        QCOMPARE(s.stepsDone, 3);
        QCOMPARE(Module1::LanguageId, qint16(1));
        QCOMPARE(captions(&f), expected(main, Caption::Main, 1));
    }

    void switchingEndsWithOneColumn()
    {
        for (const QList<int> &clicks : {QList<int>{2, 1, 2}, QList<int>{1, 2, 1}, QList<int>{1, 1}}) {
            Form1 f;
            const Texts main = captions(&f);
            ModalResponder s;
            s.steps << [&](QWidget *w) {
                for (int option : clicks)
                    (option == 1 ? dialog(w)->ui->Option1 : dialog(w)->ui->Option2)->click();
                w->close();
            };
            f.lang_Click();
            QCOMPARE(Module1::LanguageId, qint16(clicks.last()));
            QCOMPARE(captions(&f), expected(main, Caption::Main, clicks.last()));
        }
        // The column follows LanguageId alone, whatever aktiv says; other values change nothing.
        Form1 f;
        Form2 d(&f);
        const Texts main = captions(&f);
        float aktiv = 2.0f;
        for (qint16 other : {qint16(0), qint16(3)}) {
            Module1::LanguageId = other;
            d.optjazyk(aktiv);
            QCOMPARE(captions(&f), main);
        }
        Module1::LanguageId = 1;
        d.optjazyk(aktiv);
        QCOMPARE(captions(&f), expected(main, Caption::Main, 1));
        // Spot checks against the table's own spelling.
        const auto &u = *f.ui;
        QCOMPARE(QStringList({d.windowTitle(), d.ui->Command2->text(), u.quit->text(), u.Command3->text(),
                              u.Label9->text(), u.Label12->text(), u.Label13->text()}).join('|'),
                 QString::fromUtf8("Výběr jazyka|O programu|Ukončit|Konec|Gamma :|Dolu :|Doleva"));
        Module1::LanguageId = 2;
        d.optjazyk(aktiv);
        QCOMPARE(QStringList({d.ui->Frame1->title(), u.Frame3->title(), u.Label16->text(), u.Label9->text(),
                              u.about->text(), u.Command3->text(), u.Check1->text()}).join('|'),
                 QString::fromUtf8("Select language|Mause|Prewiew|Gamma|About program|Quit|Invertovat myš"));
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
        QCOMPARE(modal.messages[0].title + ": " + modal.messages[0].text,
                 QString::fromUtf8("Nápověda: Tento program musí být ve složce se hrou"));
        QCOMPARE(modal.messages[1].title + ": " + modal.messages[1].text,
                 "Help: This program must exist in folders with games");
        QCOMPARE(modal.messages[1].icon, QMessageBox::Information);
    }

    void aboutBoxAndLinks()
    {
        UrlRecorder recorder;
        QDesktopServices::setUrlHandler("http", &recorder, "open");
        Form1 f;
        ModalResponder s;
        QList<QStringList> texts;
        auto look = [&](QWidget *w) {
            auto *a = qobject_cast<Form3 *>(w);
            QStringList t{a->windowTitle()};
            for (QLabel *l : a->findChildren<QLabel *>())
                t << l->text();
            texts << t;
            QCOMPARE(a->size(), QSize(327, 203));
            QVERIFY(isLinkStyled(a->ui->Label3));  // after every opening
            QCOMPARE(a->ui->Image1->pixmap().size(), QSize(64, 120));
            QCOMPARE(a->ui->Image2->pixmap().size(), QSize(64, 38));
            for (ClickableLabel *l : {a->ui->Image1, a->ui->Image2, a->ui->Label3})
                for (int i = 0; i < 2; ++i)
                    QTest::mouseClick(l, Qt::LeftButton);
            QVERIFY(a->isVisible());
            a->close();
        };
        bool backInDialog = false;
        s.steps << look << [&](QWidget *w) {
            dialog(w)->ui->Option1->click();
            dialog(w)->ui->Command2->click();  // returns when the about box closes
            backInDialog = QApplication::activeModalWidget() == w && dialog(w)->ui->Option1->isChecked();
            w->close();
        } << look;
        Module1::LanguageId = 2;
        f.ui->about->trigger();
        f.lang_Click();
        QCOMPARE(s.stepsDone, 3);
        QVERIFY(backInDialog);
        QCOMPARE(texts[0], texts[1]);  // the same in English and Czech
        QCOMPARE(texts[0].first(), "About Quorrel - setup");
        for (int i = 0; i < 2; ++i)
            QTest::mouseClick(f.ui->Label15, Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("http");
        const QString game = Maker::GameUrl, web = Maker::WebUrl;
        QStringList expected;
        for (int i = 0; i < 2; ++i)
            expected << game << game << web << web << web << web;
        QCOMPARE(recorder.urls, expected << web << web);
        QVERIFY(game != web && web.contains(f.ui->Label15->text()));
    }

    void captionsFitAndNames()
    {
        for (int language : {1, 2}) {
            Module1::LanguageId = qint16(language);
            Form1 f;
            Form2 d(&f);
            Form3 a(&f);
            float aktiv = 1.0f;
            d.optjazyk(aktiv);
            QStringList clipped;
            for (QWidget *window : std::initializer_list<QWidget *>{&f, &d, &a})
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
                        clipped << QStringLiteral("%1 needs %2 of %3").arg(w->objectName()).arg(need).arg(w->width());
                }
            QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join("; ")));

            // Screen readers name each arrow bar and field by its row; Save's tooltip names the file.
            const bool cz = language == 1;
            QCOMPARE(f.ui->VScroll3->accessibleName(), cz ? "Rychlost" : "Speed");
            QCOMPARE(f.ui->Text4->accessibleName(), cz ? "Nahoru" : "Forward");
            QCOMPARE(f.ui->Command2->toolTip(),
                     (cz ? QString::fromUtf8("Uloží nastavení do %1") : QString("Saves the settings to %1"))
                         .arg(QDir::current().absoluteFilePath("autoexec.cfg")));
            QCOMPARE(f.ui->save->toolTip(), f.ui->Command2->toolTip());
        }
    }
};

QTEST_MAIN(TestI18n)
#include "tst_i18n.moc"
