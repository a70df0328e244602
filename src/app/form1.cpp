#include "form1.h"

#include "about/form3.h"
#include "i18n/form2.h"
#include "i18n/messages.h"
#include "script/maker.h"
#include "script/scriptfile.h"
#include "ui_form1.h"
#include "widgets/windowkit.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QTimer>

namespace {

constexpr int ClientWidth = 469;
constexpr int ClientHeight = 351;
constexpr int TickMs = 10;

// The controls in the order of ScriptSettings' arrays.
std::array<FieldEdit *, 4> keyFields(const Ui::Form1 &ui)
{
    return {ui.Text4, ui.Text5, ui.Text6, ui.Text7};
}

std::array<ValueBar *, 5> valueBars(const Ui::Form1 &ui)
{
    return {ui.VScroll1, ui.VScroll2, ui.VScroll3, ui.VScroll4, ui.VScroll5};
}

std::array<QRadioButton *, 5> fpsOptions(const Ui::Form1 &ui)
{
    return {ui.Option1, ui.Option2, ui.Option3, ui.Option4, ui.Option5};
}

// The labels showing the game values, in the order of GameBars.
std::array<QLabel *, 5> valueLabels(const Ui::Form1 &ui)
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

Form1::Form1(QWidget *parent) : QMainWindow(parent), ui(std::make_unique<Ui::Form1>())
{
    ui->setupUi(this);
    ui->Label15->setText(QString::fromUtf8(Maker::WebText));
    ui->Label15->setFont(WindowKit::bigBold());
    ui->Text1->setPlainText(Maker::copyright());
    ui->Image1->setAccessibleName(QString::fromUtf8(Maker::GameName));
    WindowKit::showPictures(this);
    ui->centralwidget->setFixedSize(ClientWidth, ClientHeight);
    resize(ClientWidth, ClientHeight + ui->menubar->sizeHint().height());
    WindowKit::fixWindow(this, false);
    WindowKit::tabToSelectedOptions(this);
    for (const GameBar &g : GameBars)
        valueBars(*ui)[size_t(g.bar)]->setShownConstant(g.constant);
    const ScriptSettings start;
    applySettings(start);
    showValues(start);

    connect(ui->Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(ui->Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(ui->Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(ui->save, &QAction::triggered, this, &Form1::Command2_Click);
    connect(ui->quit, &QAction::triggered, this, &Form1::Command3_Click);
    connect(ui->lang, &QAction::triggered, this, &Form1::lang_Click);
    connect(ui->help1, &QAction::triggered, this, &Form1::help1_Click);
    connect(ui->about, &QAction::triggered, this, &Form1::about_Click);
    ui->Label15->setAddress(Maker::WebUrl);
    setTabOrder(ui->Text1, ui->Label15);  // the link comes last

    // The tick does its work only after a settings control or the preview changed.
    const auto changed = [this] { m_changed = true; };
    for (QLineEdit *field : {ui->Text2, ui->Text3, ui->Text4, ui->Text5, ui->Text6, ui->Text7})
        connect(field, &QLineEdit::textChanged, this, changed);
    for (ValueBar *bar : valueBars(*ui))
        connect(bar, &QScrollBar::valueChanged, this, changed);
    for (QRadioButton *option : fpsOptions(*ui))
        connect(option, &QAbstractButton::toggled, this, changed);
    connect(ui->Check1, &QAbstractButton::toggled, this, changed);
    connect(ui->Text1->document(), &QTextDocument::contentsChange, this, changed);

    // Where Save writes is named from the start; it follows the folder and the
    // language, and is renewed whenever a tooltip or the File menu shows it.
    ui->Command2->installEventFilter(this);
    connect(ui->file, &QMenu::aboutToShow, this, &Form1::updateSaveToolTips);
    ui->file->setToolTipsVisible(true);
    nameControls();
    ui->Text2->setFocus();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(TickMs);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    Timer1->start();
}

Form1::~Form1() = default;

void Form1::Form_Load()
{
    lang_Click();
    WindowKit::styleLink(ui->Label15);
    WindowKit::centreOnScreen(this);
}

// ---- settings controls ---------------------------------------------------------

ScriptSettings Form1::readSettings() const
{
    ScriptSettings s;
    s.name = ui->Text2->text();
    s.team = ui->Text3->text();
    for (size_t i = 0; i < s.keys.size(); ++i)
        s.keys[i] = keyFields(*ui)[i]->text();
    s.invertMouse = ui->Check1->isChecked();
    for (size_t i = 0; i < s.bars.size(); ++i)
        s.bars[i] = qint16(valueBars(*ui)[i]->value());
    const auto options = fpsOptions(*ui);
    const auto selected = std::find_if(options.begin(), options.end(),
                                       [](QRadioButton *o) { return o->isChecked(); });
    if (selected != options.end())
        s.fpsOption = int(selected - options.begin());
    return s;
}

void Form1::applySettings(const ScriptSettings &s)
{
    // In the order Reset sets them: texts, check box, bars, and the option last.
    ui->Text2->setText(s.name);
    ui->Text3->setText(s.team);
    for (size_t i = 0; i < s.keys.size(); ++i)
        keyFields(*ui)[i]->setText(s.keys[i]);
    ui->Check1->setChecked(s.invertMouse);
    for (const GameBar &g : GameBars)
        valueBars(*ui)[size_t(g.bar)]->setValue(s.bars[size_t(g.bar)]);
    fpsOptions(*ui)[size_t(s.fpsOption)]->setChecked(true);
}

// ---- refresh tick --------------------------------------------------------------

void Form1::Timer1_Timer()
{
    if (!m_changed)
        return;
    ValidateKeyFields();
    const ScriptSettings s = readSettings();
    showValues(s);
    formSettingLines(s, m_lines);
    ui->Text1->showScript(ComposeScript(m_lines));
    // Cleared last: the preview's own rewrite counts as a change too.
    m_changed = false;
}

void Form1::ValidateKeyFields()
{
    const Messages::Message message = Messages::keyRepaired();
    const ScriptSettings defaults;
    const auto fields = keyFields(*ui);
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i]->text().size() == 1)
            continue;
        // Repaired before the message shows, so that ticks running meanwhile
        // find the field valid and do not report it again.
        fields[i]->setText(defaults.keys[i]);
        QMessageBox box(QMessageBox::NoIcon, message.title, message.text, QMessageBox::Ok, this);
        box.exec();
        fields[i]->setText(defaults.keys[i]);
    }
}

void Form1::showValues(const ScriptSettings &s)
{
    const auto labels = valueLabels(*ui);
    for (size_t i = 0; i < GameBars.size(); ++i) {
        const GameBar &g = GameBars[i];
        const QString value = QString::number(gameValue(g, s.bars[size_t(g.bar)]));
        if (labels[i]->text() != value)
            labels[i]->setText(value);
    }
}

// ---- commands ------------------------------------------------------------------

void Form1::Command1_Click()
{
    applySettings(ScriptSettings());
    WindowKit::announce(Messages::settingsReset());
}

void Form1::Command2_Click()
{
    // What the controls say now, even when no tick has run since the last change.
    Timer1_Timer();
    const ScriptFile::Outcome r = ScriptFile::save(m_folder, ui->Text1->script());
    if (r.ok()) {
        WindowKit::announce(Messages::saved(r.path));
        return;
    }
    const Messages::Message message = Messages::saveFailed(r);
    QMessageBox box(QMessageBox::Critical, message.title, message.text, QMessageBox::Ok, this);
    box.exec();
}

void Form1::Command3_Click()
{
    QCoreApplication::exit(0);
}

void Form1::help1_Click()
{
    if (const auto message = Messages::help())
        QMessageBox::information(this, message->title, message->text);
}

void Form1::lang_Click()
{
    Form2 dialog(this, this);
    connect(&dialog, &Form2::captionsApplied, this, &Form1::nameControls);
    connect(&dialog, &Form2::aboutRequested, this, [this, &dialog] { openAbout(&dialog); });
    dialog.showModal();
}

void Form1::about_Click()
{
    openAbout(this);
}

void Form1::openAbout(QWidget *parent)
{
    Form3 box(parent);
    box.showModal();
}

// ---- window --------------------------------------------------------------------

void Form1::closeEvent(QCloseEvent *event)
{
    event->accept();
    QCoreApplication::exit(0);
}

void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shownBefore) {
        m_shownBefore = true;
        ui->Text2->setFocus();
    }
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->Command2 && event->type() == QEvent::ToolTip)
        updateSaveToolTips();
    return QMainWindow::eventFilter(watched, event);
}

void Form1::nameControls()
{
    // Screen readers announce each field and arrow bar by its row's caption, less
    // the colon. Qt itself names the name fields by their frames and the preview
    // by its buddy heading.
    const std::pair<QWidget *, QLabel *> names[] = {
        {ui->Text4, ui->Label11},   {ui->Text5, ui->Label12},   {ui->Text6, ui->Label13},
        {ui->Text7, ui->Label14},   {ui->VScroll3, ui->Label1}, {ui->VScroll4, ui->Label2},
        {ui->VScroll1, ui->Label3}, {ui->VScroll2, ui->Label5}, {ui->VScroll5, ui->Label9},
    };
    for (const auto &[widget, caption] : names)
        widget->setAccessibleName(withoutColon(caption->text()));
    updateSaveToolTips();
}

void Form1::updateSaveToolTips()
{
    const QString tip = Messages::saveToolTip(m_folder.displayPath());
    ui->Command2->setToolTip(tip);
    ui->Command2->setAccessibleDescription(tip);
    ui->save->setToolTip(tip);
}
