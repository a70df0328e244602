#include "mainwindow.h"

#include "about/aboutbox.h"
#include "i18n/captions.h"
#include "i18n/languagedialog.h"
#include "script/maker.h"
#include "script/scriptfile.h"
#include "ui_mainwindow.h"
#include "widgets/windowkit.h"

#include <QCloseEvent>
#include <QScopedValueRollback>
#include <QTimer>

namespace {

constexpr int ClientWidth = 469;
constexpr int ClientHeight = 351;
constexpr int TickMs = 10;

// The controls in the order of ScriptSettings' arrays.
std::array<FieldEdit *, 4> keyFields(const Ui::MainWindow &ui)
{
    return {ui.Text4, ui.Text5, ui.Text6, ui.Text7};
}

std::array<ValueBar *, 5> valueBars(const Ui::MainWindow &ui)
{
    return {ui.VScroll1, ui.VScroll2, ui.VScroll3, ui.VScroll4, ui.VScroll5};
}

std::array<QRadioButton *, 5> fpsOptions(const Ui::MainWindow &ui)
{
    return {ui.Option1, ui.Option2, ui.Option3, ui.Option4, ui.Option5};
}

// The labels showing the game values, in the order of GameBars.
std::array<QLabel *, 5> valueLabels(const Ui::MainWindow &ui)
{
    return {ui.Label7, ui.Label8, ui.Label4, ui.Label6, ui.Label10};
}

// "Rychlost :" -> "Rychlost"
QString withoutColon(QString caption)
{
    if (caption.endsWith(u':'))
        caption.chop(1);
    return caption.trimmed();
}

}  // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent), m_ui(std::make_unique<Ui::MainWindow>())
{
    m_ui->setupUi(this);
    WindowKit::useFaces(this);
    m_ui->Label15->setText(QString::fromUtf8(Maker::WebText));
    m_ui->Label15->setFont(WindowKit::bigBold());
    m_ui->Text1->setPlainText(Maker::copyright());
    m_ui->Image1->setAccessibleName(QString::fromUtf8(Maker::GameName));
    WindowKit::showPictures(this);
    m_ui->centralwidget->setFixedSize(ClientWidth, ClientHeight);
    resize(ClientWidth, ClientHeight + m_ui->menubar->sizeHint().height());
    WindowKit::fixWindow(this, false);
    WindowKit::tabToSelectedOptions(this);
    for (const GameBar &g : GameBars)
        valueBars(*m_ui)[size_t(g.bar)]->setShownConstant(g.constant);
    const ScriptSettings start;
    applySettings(start);
    showValues(start);

    connect(m_ui->Command1, &QPushButton::clicked, this, &MainWindow::reset);
    connect(m_ui->Command2, &QPushButton::clicked, this, &MainWindow::save);
    connect(m_ui->Command3, &QPushButton::clicked, this, &MainWindow::quit);
    connect(m_ui->save, &QAction::triggered, this, &MainWindow::save);
    connect(m_ui->quit, &QAction::triggered, this, &MainWindow::quit);
    connect(m_ui->lang, &QAction::triggered, this, &MainWindow::chooseLanguage);
    connect(m_ui->help1, &QAction::triggered, this, &MainWindow::showHelp);
    connect(m_ui->about, &QAction::triggered, this, &MainWindow::showAbout);
    m_ui->Label15->setAddress(Maker::WebUrl);
    setTabOrder(m_ui->Text1, m_ui->Label15);  // the link comes last

    // The tick does its work only after a settings control or the preview changed.
    const auto changed = [this] { m_changed = true; };
    for (QLineEdit *field :
         {m_ui->Text2, m_ui->Text3, m_ui->Text4, m_ui->Text5, m_ui->Text6, m_ui->Text7})
        connect(field, &QLineEdit::textChanged, this, changed);
    for (ValueBar *bar : valueBars(*m_ui))
        connect(bar, &QScrollBar::valueChanged, this, changed);
    for (QRadioButton *option : fpsOptions(*m_ui))
        connect(option, &QAbstractButton::toggled, this, changed);
    connect(m_ui->Check1, &QAbstractButton::toggled, this, changed);
    connect(m_ui->Text1->document(), &QTextDocument::contentsChange, this, changed);

    // Where Save writes is named from the start; it follows the folder and the
    // language, and is renewed whenever a tooltip or the File menu shows it.
    m_ui->Command2->installEventFilter(this);
    connect(m_ui->file, &QMenu::aboutToShow, this, &MainWindow::updateSaveToolTips);
    m_ui->file->setToolTipsVisible(true);
    nameControls();
    m_ui->Text2->setFocus();

    m_tick = new QTimer(this);
    m_tick->setObjectName(QStringLiteral("Timer1"));
    m_tick->setInterval(TickMs);
    connect(m_tick, &QTimer::timeout, this, &MainWindow::refresh);
    m_tick->start();
}

MainWindow::~MainWindow() = default;

void MainWindow::startUp()
{
    chooseLanguage();
    WindowKit::styleLink(m_ui->Label15);
    WindowKit::centreOnScreen(this);
}

// ---- settings controls ---------------------------------------------------------

ScriptSettings MainWindow::readSettings() const
{
    ScriptSettings s;
    s.name = m_ui->Text2->text();
    s.team = m_ui->Text3->text();
    for (size_t i = 0; i < s.keys.size(); ++i)
        s.keys[i] = keyFields(*m_ui)[i]->text();
    s.invertMouse = m_ui->Check1->isChecked();
    for (size_t i = 0; i < s.bars.size(); ++i)
        s.bars[i] = qint16(valueBars(*m_ui)[i]->value());
    const auto options = fpsOptions(*m_ui);
    const auto selected = std::find_if(options.begin(), options.end(),
                                       [](QRadioButton *o) { return o->isChecked(); });
    if (selected != options.end())
        s.fpsOption = int(selected - options.begin());
    return s;
}

void MainWindow::applySettings(const ScriptSettings &s)
{
    // In the order Reset sets them: texts, check box, bars, and the option last.
    m_ui->Text2->setText(s.name);
    m_ui->Text3->setText(s.team);
    for (size_t i = 0; i < s.keys.size(); ++i)
        keyFields(*m_ui)[i]->setText(s.keys[i]);
    m_ui->Check1->setChecked(s.invertMouse);
    for (const GameBar &g : GameBars)
        valueBars(*m_ui)[size_t(g.bar)]->setValue(s.bars[size_t(g.bar)]);
    fpsOptions(*m_ui)[size_t(s.fpsOption)]->setChecked(true);
}

// ---- refresh tick --------------------------------------------------------------

void MainWindow::refresh()
{
    if (!m_changed || m_messageShown)
        return;
    repairKeyFields();
    const ScriptSettings s = readSettings();
    showValues(s);
    formSettingLines(s, m_lines);
    m_ui->Text1->showScript(ComposeScript(m_lines));
    // Cleared last: the preview's own rewrite counts as a change too.
    m_changed = false;
}

void MainWindow::repairKeyFields()
{
    const ScriptSettings defaults;
    const auto fields = keyFields(*m_ui);
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i]->text().size() == 1)
            continue;
        fields[i]->setText(defaults.keys[i]);  // the message shows the field repaired
        showMessage(QMessageBox::NoIcon, Messages::keyRepaired());
    }
}

void MainWindow::showMessage(QMessageBox::Icon icon, const Messages::Message &message)
{
    // The ticks in the box's loop wait for it: no second repair or box piles up.
    const QScopedValueRollback<bool> shown(m_messageShown, true);
    QMessageBox box(icon, message.title, message.text, QMessageBox::Ok, this);
    box.exec();
}

void MainWindow::showValues(const ScriptSettings &s)
{
    const auto labels = valueLabels(*m_ui);
    for (size_t i = 0; i < GameBars.size(); ++i) {
        const GameBar &g = GameBars[i];
        const QString value = QString::number(gameValue(g, s.bars[size_t(g.bar)]));
        if (labels[i]->text() != value)
            labels[i]->setText(value);
    }
}

// ---- commands ------------------------------------------------------------------

void MainWindow::reset()
{
    applySettings(ScriptSettings());
    WindowKit::announce(Messages::settingsReset());
}

void MainWindow::save()
{
    // What the controls say now, even when no tick has run since the last change.
    refresh();
    const ScriptFile::Outcome r = ScriptFile::save(m_folder, m_ui->Text1->script());
    if (r.ok()) {
        WindowKit::announce(Messages::saved(r.path));
        return;
    }
    showMessage(QMessageBox::Critical, Messages::saveFailed(r));
}

void MainWindow::quit()
{
    QCoreApplication::exit(0);
}

void MainWindow::showHelp()
{
    if (const auto message = Messages::help())
        QMessageBox::information(this, message->title, message->text);
}

void MainWindow::chooseLanguage()
{
    LanguageDialog dialog(this);
    connect(&dialog, &LanguageDialog::captionsApplied, this, &MainWindow::applyCaptions);
    connect(&dialog, &LanguageDialog::aboutRequested, this,
            [this, &dialog] { openAboutBox(&dialog); });
    dialog.showModal();
}

void MainWindow::showAbout()
{
    openAboutBox(this);
}

void MainWindow::openAboutBox(QWidget *parent)
{
    AboutBox box(parent);
    box.showModal();
}

// ---- window --------------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    QCoreApplication::exit(0);
}

void MainWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shownBefore) {
        m_shownBefore = true;
        m_ui->Text2->setFocus();
    }
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->Command2 && event->type() == QEvent::ToolTip)
        updateSaveToolTips();
    return QMainWindow::eventFilter(watched, event);
}

void MainWindow::applyCaptions()
{
    applyMainCaptions(*m_ui);
    nameControls();
}

void MainWindow::nameControls()
{
    // Screen readers announce each field and arrow bar by its row's caption, less
    // the colon. Qt itself names the name fields by their frames and the preview
    // by its buddy heading.
    const std::pair<QWidget *, QLabel *> names[] = {
        {m_ui->Text4, m_ui->Label11},   {m_ui->Text5, m_ui->Label12},
        {m_ui->Text6, m_ui->Label13},   {m_ui->Text7, m_ui->Label14},
        {m_ui->VScroll3, m_ui->Label1}, {m_ui->VScroll4, m_ui->Label2},
        {m_ui->VScroll1, m_ui->Label3}, {m_ui->VScroll2, m_ui->Label5},
        {m_ui->VScroll5, m_ui->Label9},
    };
    for (const auto &[widget, caption] : names)
        widget->setAccessibleName(withoutColon(caption->text()));
    updateSaveToolTips();
}

void MainWindow::updateSaveToolTips()
{
    const QString tip = Messages::saveToolTip(m_folder.displayPath());
    m_ui->Command2->setToolTip(tip);
    m_ui->Command2->setAccessibleDescription(tip);
    m_ui->save->setToolTip(tip);
}
