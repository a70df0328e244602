// What a screen reader hears, and what a dark palette and a dense screen show:
// accessible names, values and descriptions, contrast measured on the rendered
// pixels, the pictures' pixel density and the title bars' buttons. The whole
// test runs at 200 % (QT_SCALE_FACTOR=2).
#include "testkit.h"

#include <QAccessible>
#include <QDir>
#include <QPushButton>
#include <QRegularExpression>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <cmath>

namespace {

double luminance(QColor c)  // WCAG 2
{
    double l = 0, k[] = {0.2126, 0.7152, 0.0722}, v[] = {c.redF(), c.greenF(), c.blueF()};
    for (int i = 0; i < 3; ++i)
        l += k[i] * (v[i] <= 0.04045 ? v[i] / 12.92 : std::pow((v[i] + 0.055) / 1.055, 2.4));
    return l + 0.05;
}

// The best contrast any rendered pixel of `w` (of its style's `indicator`, if
// given) has against the window behind it.
double standout(QWidget *w, QStyle::SubElement indicator = QStyle::SE_CustomBase)
{
    QStyleOptionButton opt;
    opt.initFrom(w);
    QRect r = indicator == QStyle::SE_CustomBase ? w->rect()
                                                 : w->style()->subElementRect(indicator, &opt, w);
    const QImage img = w->window()->grab(r.translated(w->mapTo(w->window(), QPoint()))).toImage();
    const double window = luminance(w->window()->palette().window().color());
    double best = 1;
    for (int i = 0; i < img.width() * img.height(); ++i) {
        const double l = luminance(img.pixelColor(i % img.width(), i / img.width()));
        best = std::max({best, l / window, window / l});
    }
    return best;
}

QString heard(QWidget *root, const char *name, QAccessible::Text t = QAccessible::Name)
{
    return QAccessible::queryAccessibleInterface(child(root, name))->text(t);
}

// Focuses the push button `name` and presses Enter on it.
void enterOn(QWidget *root, const char *name)
{
    QWidget *button = child(root, name);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
}

// What the window last told screen readers: a notification that shows and draws nothing.
QString announced(QWidget *window)
{
    for (QWidget *w : window->findChildren<QWidget *>())
        if (QAccessible::queryAccessibleInterface(w)->role() == QAccessible::Notification
            && w->isVisible() && w->rect().isEmpty())
            return heard(window, qPrintable(w->objectName()));
    return {};
}

QString goldenSpoken(const char *name, int language)
{
    return goldenMessage(name, language).mid(3);  // no title: "-: text"
}

}  // namespace

class TestAccess : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpTestApplication(); }

    // Keyboard only: Tab reaches each link after the window's own stops and shows
    // its focus only then, Enter and Space open its address (QDesktopServices is
    // handed it; the offscreen platform has no opener); Enter presses the
    // focused push button but not an option; Save and Reset are confirmed in speech.
    void keyboardOnly()
    {
        UrlRecorder recorder;
        QStringList opened;
        // From the focused first link of `window` round its links, in Tab order.
        const auto followLinks = [&](const char *window) {
            QMap<int, QStringList> links;
            for (const QStringList &row : goldenRows("links.tsv"))
                if (row[0] == window)
                    links[row[3].toInt()] = row.mid(1).replaceInStrings(QRegularExpression("^-$"),
                                                                        "");
            for (const QStringList &link : links) {
                QWidget *w = QApplication::focusWidget();
                // A window system may move the focus into a window after activating it.
                QTRY_COMPARE((w = QApplication::focusWidget()) ? w->objectName() : QString(),
                             link[0]);
                QAccessibleInterface *a = QAccessible::queryAccessibleInterface(w);
                QCOMPARE(
                    QStringList({a->text(QAccessible::Name), a->text(QAccessible::Description)}),
                    link.mid(3));
                QCOMPARE(a->role(), QAccessible::Link);
                for (const auto key : {Qt::Key_Return, Qt::Key_Space})
                    QTest::keyClick(w, key);
                opened << link[1] << link[1];
                QCOMPARE(recorder.urls, opened);
                QTest::keyClick(w, Qt::Key_Tab);
            }
        };

        setLanguage(Language::English);
        TestWindow w;
        QTemporaryDir folder;
        w.form.setSaveFolder(ScriptFile::Folder(QFile::encodeName(folder.path())));
        QWidget *link = child(&w.form, "Label15");
        const QImage plain = link->grab().toImage();
        child(&w.form, "Text1")->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(link->grab().toImage() != plain);
        followLinks("main");
        QCOMPARE(QApplication::focusWidget(), child(&w.form, "Text2"));
        QCOMPARE(link->grab().toImage(), plain);

        const QString file = QDir(folder.path()).absoluteFilePath("autoexec.cfg");
        for (const int language : {1, 2}) {
            setLanguage(Language(language));  // 1 Czech, 2 English, as the golden rows
            w.bar("VScroll1")->setValue(0);
            enterOn(&w.form, "Command1");
            QCOMPARE(w.bar("VScroll1")->value(), goldenRows("bars.tsv")[2][3].toInt());
            QCOMPARE(announced(&w.form), goldenSpoken("reset", language));
            QFile::remove(file);
            enterOn(&w.form, "Command2");
            QVERIFY(QFile::exists(file));
            QCOMPARE(announced(&w.form),
                     goldenSpoken("saved", language).arg(QDir::toNativeSeparators(file)));
        }

        TestResponder modal;
        modal.steps << [&](QWidget *d) {
            enterOn(d, "Option2");  // no default button: nothing happens
            QVERIFY(d->isVisible() && modal.stepsDone == 1);
            enterOn(d, "Command2");  // the about box, then back here
            QCOMPARE(modal.stepsDone, 2);
            for (const QPushButton *button : d->findChildren<QPushButton *>())
                QVERIFY(!button->isDefault());
            enterOn(d, "Command1");
            QVERIFY(!d->isVisible());
        } << [&](QWidget *about) {
            about->activateWindow();  // as a window manager does
            QTRY_VERIFY(about->isActiveWindow());
            // The whole text, in reading order, read as the box opens on its first link.
            QCOMPARE(about->accessibleDescription() + '\n',
                     QString(goldenBytes("about-heard.txt")));
            followLinks("about");
            QCOMPARE(QApplication::focusWidget(), child(about, "Label3"));
            about->close();
        };
        w.form.chooseLanguage();
        QCOMPARE(modal.stepsDone, 2);
    }

    void namesValuesSaveAndTab()
    {
        setLanguage(Language::NotChosen);
        QStringList focused;
        TestWindow w;
        // Tab enters the fps group once, on its selected option, and so does Backtab.
        connect(qApp, &QApplication::focusChanged, &w.form,
                [&](QWidget *, QWidget *now) { focused << (now ? now->objectName() : QString()); });
        child(&w.form, "VScroll4")->setFocus();
        for (const auto key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Backtab})
            QTest::keyClick(QApplication::focusWidget(), key);
        QCOMPARE(focused.join(' '), "VScroll4 Option4 VScroll5 Option4");
        QString folder = QDir::currentPath();
        const auto saves = [&](const char *to) {
            return QString::fromUtf8(to)
                + QDir::toNativeSeparators(QDir(folder).absoluteFilePath("autoexec.cfg"));
        };
        // Where Save writes, from the start and after the folder changed.
        for (const bool moved : {false, true}) {
            if (moved)
                w.form.setSaveFolder(
                    ScriptFile::Folder(QFile::encodeName(folder = QDir::tempPath())));
            QCOMPARE(heard(&w.form, "Command2", QAccessible::Description),
                     saves("Saves the settings to "));
        }

        TestResponder modal;
        for (const char *option : {"Option1", "Option2"})
            modal.steps << [option](QWidget *d) {
                click(d, option);
                click(d, "Command1");
            };
        for (const bool czech : {true, false}) {
            w.form.chooseLanguage();
            QCOMPARE(heard(&w.form, "Command2", QAccessible::Description),
                     saves(czech ? "Uloží nastavení do " : "Saves the settings to "));
            for (const QStringList &r : goldenRows("names.tsv")) {
                QCOMPARE(heard(&w.form, qPrintable(r[0])), r[czech ? 1 : 2]);
                if (r[3] != "-")
                    QCOMPARE(heard(&w.form, qPrintable(r[0]), QAccessible::Value), r[3]);
            }
        }
    }

    void windowsOnAnyPalette_data()
    {
        QTest::addColumn<QPalette>("palette");
        const auto palette = [](const char *text, const char *base, const char *window) {
            // windowText, button, light, dark, mid, text, bright text, base, window
            return QPalette(QColor(text), QColor(window), QColor(text), QColor(base), QColor(base),
                            QColor(text), QColor(text), QColor(base), QColor(window));
        };
        QTest::newRow("classic") << QApplication::style()->standardPalette();
        QTest::newRow("Adwaita dark") << palette("#eeeeec", "#242424", "#323232");
        QTest::newRow("black") << palette("#ffffff", "#000000", "#000000");
        QTest::newRow("mid grey") << palette("#000000", "#ffffff", "#777777");
    }
    void windowsOnAnyPalette()
    {
        QFETCH(QPalette, palette);
        QApplication::setPalette(palette);
        const bool classic = QTest::currentDataTag() == QByteArray("classic");
        // Each window: only the close box, a fixed size, its pictures' 2x drawing.
        const auto check = [](QWidget *w, Qt::WindowType type, const QStringList &pictures) {
            QCOMPARE(w->windowFlags(),
                     type | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
            QCOMPARE(w->minimumSize(), w->maximumSize());
            for (const QString &name : pictures) {
                const QLabel *p = child<QLabel>(w, qPrintable(name));
                QCOMPARE(p->pixmap().devicePixelRatio(), 2.0);
                QCOMPARE(p->pixmap().size(), p->size() * 2);
            }
        };
        MainWindow f;
        TestResponder modal;
        modal.steps << [&](QWidget *d) {
            check(d, Qt::Tool, {});
            click(d, "Command2");
            click(d, "Command1");
        } << [&](QWidget *about) {
            check(about, Qt::Tool, {"Image1", "Image2"});
            QVERIFY(standout(child(about, "Label3")) >= 4.5);
            QCOMPARE(heard(about, "Label3"), "www.zelviksoft.example");
            about->close();
        };
        f.startUp();
        f.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f));
        QCOMPARE(modal.stepsDone, 2);
        check(&f, Qt::Window, {"Image1"});
        QCOMPARE(QApplication::windowIcon().pixmap(QSize(64, 64)).size(), QSize(128, 128));
        auto *link = child<QLabel>(&f, "Label15");
        const QColor blue = link->palette().windowText().color();
        if (classic)  // pure blue where it reads, else a lighter or darker blue
            QCOMPARE(blue, QColor(0, 0, 255));
        QVERIFY2(std::abs(blue.hslHue() - 240) <= 15 && blue.hslSaturation() >= 128,
                 qPrintable(blue.name()));
        QVERIFY(standout(link) >= 4.5);
        if (!classic) {  // Fusion's light indicators stay as designed
            QVERIFY(standout(child(&f, "Check1"), QStyle::SE_CheckBoxIndicator) >= 3);
            QVERIFY(standout(child(&f, "Option1"), QStyle::SE_RadioButtonIndicator) >= 3);
        }
        QApplication::setPalette(QApplication::style()->standardPalette());
    }
};

static const bool doubleDensity = qputenv("QT_SCALE_FACTOR", "2");
QTEST_MAIN(TestAccess)
#include "tst_access.moc"
