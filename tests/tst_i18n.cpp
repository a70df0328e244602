// Language dialog, caption table, help, about box, links and caption fit.
#include "about/form3.h"
#include "i18n/captions.h"
#include "i18n/form2.h"
#include "script/maker.h"
#include "testkit.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QGroupBox>
#include <QMenu>
#include <QPushButton>
#include <QStyle>

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
        QWidget *owner = qobject_cast<QMenu *>(o) ? static_cast<QWidget *>(o->parent())
                                                  : qobject_cast<QWidget *>(o);
        if (owner ? owner->window() != window : o->parent() != window)
            continue;
        if (auto *m2 = qobject_cast<QMenu *>(o))
            m[o->objectName()] = m2->title();
        else if (auto *a = qobject_cast<QAction *>(o))
            m[o->objectName()] = a->text();
        else if (auto *g = qobject_cast<QGroupBox *>(o))
            m[o->objectName()] = g->title();
        else if (auto *l = qobject_cast<QLabel *>(o))
            m[o->objectName()] = l->text();
        else if (auto *b = qobject_cast<QAbstractButton *>(o))
            m[o->objectName()] = b->text();
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

// Presses Escape in a window, which must stay open.
void escapeKeepsOpen(QWidget *w)
{
    QTest::keyClick(w, Qt::Key_Escape);
    QVERIFY(w->isVisible());
}

}  // namespace

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
            escapeKeepsOpen(w);
            click(w, "Command1");
        };
        s.steps << [&](QWidget *w) {  // Czech at once, while the dialog is open
            click(w, "Option1");
            QCOMPARE(captions(w), expected(dlg, Caption::Dialog, 1));
            QCOMPARE(captions(&f), expected(main, Caption::Main, 1));
            click(w, "Command1");
        };
        s.steps << [&](QWidget *w) {  // and again on reopening; the close box keeps it
            QVERIFY(child<QRadioButton>(w, "Option1")->isChecked());
            QVERIFY(!child<QRadioButton>(w, "Option2")->isChecked());
            QCOMPARE(captions(w), expected(dlg, Caption::Dialog, 1));
            w->close();
        };
        f.Form_Load();
        QVERIFY(isLinkStyled(child<QLabel>(&f, "Label15")));
        QCOMPARE(child(&f, "Label15")->pos(), QPoint(8, 328));
        child<QAction>(&f, "lang")->trigger();
        f.lang_Click();
        QCOMPARE(s.stepsDone, 3);
        QCOMPARE(Module1::LanguageId, qint16(1));
        QCOMPARE(captions(&f), expected(main, Caption::Main, 1));
        QCOMPARE(child(&f, "VScroll3")->accessibleName(), "Rychlost");  // screen readers follow
        QCOMPARE(child(&f, "Text4")->accessibleName(), "Nahoru");
    }

    void switchingEndsWithOneColumn_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::newRow("2 1 2") << QList<int>{2, 1, 2};
        QTest::newRow("1 2 1") << QList<int>{1, 2, 1};
        QTest::newRow("1 1") << QList<int>{1, 1};
    }
    void switchingEndsWithOneColumn()
    {
        QFETCH(QList<int>, clicks);
        Form1 f;
        const Texts main = captions(&f);
        ModalResponder s;
        s.steps << [&](QWidget *w) {
            for (int option : clicks)
                click(w, option == 1 ? "Option1" : "Option2");
            w->close();
        };
        f.lang_Click();
        QCOMPARE(Module1::LanguageId, qint16(clicks.last()));
        QCOMPARE(captions(&f), expected(main, Caption::Main, clicks.last()));
    }

    void columnFollowsLanguageIdAlone()
    {
        // Whatever aktiv says; other values change nothing.
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
        const auto text = [](QWidget *w, const char *name) { return captions(w).value(name); };
        QCOMPARE(QStringList({d.windowTitle(), text(&d, "Command2"), text(&f, "quit"),
                              text(&f, "Command3"), text(&f, "Label9"), text(&f, "Label12"),
                              text(&f, "Label13")})
                     .join('|'),
                 QString::fromUtf8("Výběr jazyka|O programu|Ukončit|Konec|Gamma :|Dolu :|Doleva"));
        Module1::LanguageId = 2;
        d.optjazyk(aktiv);
        QCOMPARE(QStringList({text(&d, "Frame1"), text(&f, "Frame3"), text(&f, "Label16"),
                              text(&f, "Label9"), text(&f, "about"), text(&f, "Command3"),
                              text(&f, "Check1")})
                     .join('|'),
                 QString::fromUtf8(
                     "Select language|Mause|Prewiew|Gamma|About program|Quit|Invertovat myš"));
    }

    void helpFollowsLanguage()
    {
        Form1 f;
        ModalResponder modal;
        for (qint16 language : {qint16(0), qint16(1), qint16(2), qint16(5)}) {
            Module1::LanguageId = language;
            child<QAction>(&f, "help1")->trigger();
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
        auto look = [&](QWidget *a) {
            QStringList t{a->windowTitle()};
            for (QLabel *l : a->findChildren<QLabel *>())
                t << l->text() + l->accessibleName();
            texts << t;
            QCOMPARE(a->size(), QSize(327, 203));
            QVERIFY(isLinkStyled(child<QLabel>(a, "Label3")));  // after every opening
            QCOMPARE(child<QLabel>(a, "Image1")->pixmap().size(), QSize(64, 120));
            QCOMPARE(child<QLabel>(a, "Image2")->pixmap().size(), QSize(64, 38));
            QVERIFY(!child(a, "Image2")->accessibleName().isEmpty());
            for (const char *name : {"Image1", "Image2", "Label3"})
                for (int i = 0; i < 2; ++i)
                    QTest::mouseClick(child(a, name), Qt::LeftButton);
            escapeKeepsOpen(a);
            a->close();
        };
        bool backInDialog = false;
        s.steps << look << [&](QWidget *w) {
            click(w, "Option1");
            click(w, "Command2");  // returns when the about box closes
            backInDialog = QApplication::activeModalWidget() == w
                && child<QRadioButton>(w, "Option1")->isChecked();
            w->close();
        } << look;
        Module1::LanguageId = 2;
        child<QAction>(&f, "about")->trigger();
        f.lang_Click();
        QCOMPARE(s.stepsDone, 3);
        QVERIFY(backInDialog);
        QCOMPARE(texts[0], texts[1]);  // the same in English and Czech
        QCOMPARE(texts[0].first(), "About Quorrel - setup");
        QVERIFY(texts[0].contains(
            QStringLiteral(" v%1%2Id.:21210").arg(QUORREL_VERSION, QString(54, ' '))));
        for (int i = 0; i < 2; ++i)
            QTest::mouseClick(child(&f, "Label15"), Qt::LeftButton);
        QDesktopServices::unsetUrlHandler("http");
        const QString game = Maker::GameUrl, web = Maker::WebUrl;
        QStringList expected;
        for (int i = 0; i < 2; ++i)
            expected << game << game << web << web << web << web;
        QCOMPARE(recorder.urls, expected << web << web);
        QVERIFY(game != web && web.contains(child<QLabel>(&f, "Label15")->text()));
    }

    void captionsFit()
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
                    if (need > w->width() || (need && fm.height() > w->height() + 1)
                        || (qobject_cast<QRadioButton *>(w)
                            && w->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr,
                                                       w)
                                >= w->height()))
                        clipped << QStringLiteral("%1 needs %2 of %3")
                                       .arg(w->objectName())
                                       .arg(need)
                                       .arg(w->width());
                }
            QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join("; ")));
        }
    }
};

QTEST_MAIN(TestI18n)
#include "tst_i18n.moc"
