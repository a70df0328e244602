// Language dialog, caption table, help, about box, links and caption fit.
#include "about/form3.h"
#include "i18n/captions.h"
#include "i18n/form2.h"
#include "script/maker.h"
#include "testkit.h"

#include <QAccessible>
#include <QDesktopServices>
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
    Texts m{{"", window->windowTitle()}};
    for (QObject *o : window->findChildren<QObject *>()) {
        QObject *home = o->parent();
        while (home != window && !qobject_cast<QDialog *>(home))
            home = home->parent();
        const char *property = o->inherits("QMenu") || o->inherits("QGroupBox") ? "title" : "text";
        if (home == window && !o->objectName().isEmpty() && o->property(property).isValid())
            m[o->objectName()] = o->property(property).toString();
    }
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

QString pick(const Texts &texts, const QStringList &names)
{
    QStringList picked;
    for (const QString &name : names)
        picked << texts.value(name);
    return picked.join('|');
}

bool isLinkStyled(QWidget *w)
{
    auto *l = qobject_cast<QLabel *>(w);
    return l->palette().color(QPalette::WindowText) == QColor(0, 0, 255) && l->font().bold()
        && l->font().underline() && l->size() == l->sizeHint();
}

}  // namespace

class TestI18n : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { WindowKit::setupApplication(); }
    void init() { Module1::LanguageId = 0; }

    void startAndReopen()
    {
        Form1 f;
        const Texts main = captions(&f), dlg = captions(new Form2(nullptr, &f));
        ModalResponder s;
        s.steps << [&](QWidget *w) {  // English before anything shows; Escape does not close
            QCOMPARE(Module1::LanguageId, qint16(2));
            QVERIFY(!f.isVisible() && (w->windowFlags() & Qt::Tool));
            QCOMPARE(captions(w), expected(dlg, Caption::Dialog, 2));
            QCOMPARE(captions(&f), expected(main, Caption::Main, 2));
            QCOMPARE(w->size(), QSize(159, 110));
            QCOMPARE(child(&f, "VScroll3")->accessibleName() + child(&f, "Text4")->accessibleName(),
                     "SpeedForward");
            QTest::keyClick(w, Qt::Key_Escape);
            QVERIFY(w->isVisible());
            click(w, "Command1");
        };
        s.steps << [&](QWidget *w) {  // Czech at once, while the dialog is open, however often
            for (const char *option : {"Option2", "Option1", "Option1"})
                click(w, option);
            QCOMPARE(captions(w), expected(dlg, Caption::Dialog, 1));
            QCOMPARE(captions(&f), expected(main, Caption::Main, 1));
            click(w, "Command1");
        };
        s.steps << [&](QWidget *w) {  // and again on reopening; the close box keeps it
            QVERIFY(child(w, "Option1")->property("checked").toBool());
            QCOMPARE(captions(w), expected(dlg, Caption::Dialog, 1));
            w->close();
        };
        f.Form_Load();
        QVERIFY(isLinkStyled(child(&f, "Label15")));
        QCOMPARE(child(&f, "Label15")->pos(), QPoint(8, 328));
        child<QAction>(&f, "lang")->trigger();
        f.lang_Click();
        QCOMPARE(s.stepsDone, 3);
        QCOMPARE(Module1::LanguageId, qint16(1));
        QCOMPARE(captions(&f), expected(main, Caption::Main, 1));
        QCOMPARE(child(&f, "VScroll3")->accessibleName(), "Rychlost");  // screen readers follow
        QCOMPARE(child(&f, "Text4")->accessibleName(), "Nahoru");
    }

    void columnFollowsLanguageIdAlone()
    {
        // Whatever aktiv says; other values change nothing.
        Form1 f;
        Form2 d(&f);
        const Texts main = captions(&f);
        float aktiv = 2.0f;
        for (int language : {0, 3, 1, 2}) {
            Module1::LanguageId = qint16(language);
            d.optjazyk(aktiv);
            QCOMPARE(captions(&f),
                     language < 3 && language ? expected(main, Caption::Main, language) : main);
        }
        // Spot checks against the table's own spelling.
        const auto spots = [&] {
            return pick(captions(&d), {"", "Command2"}) + '|'
                + pick(captions(&f),
                       {"Frame3", "Label16", "Label9", "Label12", "Label13", "Command3", "Check1"});
        };
        QCOMPARE(spots(),
                 QString::fromUtf8("Select language|About prg.|Mause|Prewiew|Gamma|"
                                   "Backward :|Left :|Quit|Invertovat myš"));
        Module1::LanguageId = 1;
        d.optjazyk(aktiv);
        QCOMPARE(spots(),
                 QString::fromUtf8("Výběr jazyka|O programu|Myš|Náhled|Gamma :|Dolu :|"
                                   "Doleva|Konec|Invertovat myš"));
        QCOMPARE(captions(&f).value("quit"), QString::fromUtf8("Ukončit"));
    }
    void helpFollowsLanguage()
    {
        Form1 f;
        ModalResponder modal;
        for (int language : {0, 1, 2, 5}) {
            Module1::LanguageId = qint16(language);
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
        QList<Texts> texts;
        auto look = [&](QWidget *a) {
            texts << captions(a);
            QCOMPARE(a->size(), QSize(327, 203));
            QVERIFY(isLinkStyled(child(a, "Label3")));  // after every opening
            QCOMPARE(child<QLabel>(a, "Image1")->pixmap().size(), QSize(64, 120));
            QCOMPARE(child<QLabel>(a, "Image2")->pixmap().size(), QSize(64, 38));
            QVERIFY(!child(a, "Image2")->accessibleName().isEmpty());
            for (const char *name : {"Image1", "Image2", "Label3"})
                for (int i = 0; i < 2; ++i)
                    QTest::mouseClick(child(a, name), Qt::LeftButton);
            QTest::keyClick(a, Qt::Key_Escape);
            QVERIFY(a->isVisible());
            a->close();
        };
        bool backInDialog = false;
        s.steps << look << [&](QWidget *w) {
            click(w, "Option1");
            click(w, "Command2");  // returns when the about box closes
            backInDialog = QApplication::activeModalWidget() == w
                && child(w, "Option1")->property("checked").toBool();
            w->close();
        } << look;
        Module1::LanguageId = 2;
        child<QAction>(&f, "about")->trigger();
        f.lang_Click();
        QCOMPARE(s.stepsDone, 3);
        QVERIFY(backInDialog);
        QCOMPARE(texts[0], texts[1]);  // the same in English and Czech
        QCOMPARE(pick(texts[0], {"", "Label6"}),
                 QStringLiteral("About Quorrel - setup| v%1%2Id.:21210")
                     .arg(Program::Version, QString(54, ' ')));
        QTest::mouseClick(child(&f, "Label15"), Qt::LeftButton);
        QAccessibleInterface *link = QAccessible::queryAccessibleInterface(child(&f, "Label15"));
        QCOMPARE(link->role(), QAccessible::Link);  // which a screen reader can follow too
        link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QDesktopServices::unsetUrlHandler("http");
        const QString game = Maker::GameUrl, web = Maker::WebUrl;
        const QStringList aboutClicks{game, game, web, web, web, web};
        QCOMPARE(recorder.urls, aboutClicks + aboutClicks + QStringList({web, web}));
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
                    const QString text = captions(window).value(w->objectName());
                    int need = fm.horizontalAdvance(text);
                    if (w->inherits("QRadioButton") || w->inherits("QCheckBox"))
                        need = w->sizeHint().width();
                    else
                        need += w->inherits("QPushButton") ? 8 : w->inherits("QGroupBox") ? 12 : 0;
                    const bool cut = w->inherits("QRadioButton")
                        && w->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight, nullptr, w)
                            >= w->height();
                    if (!w->inherits("QLineEdit") && !text.isEmpty()
                        && (need > w->width() || fm.height() > w->height() + 1 || cut))
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
