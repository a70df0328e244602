#include "form1.h"

#include "about/form3.h"
#include "app/windowkit.h"
#include "i18n/form2.h"
#include "i18n/module1.h"
#include "script/maker.h"
#include "script/scriptfile.h"
#include "ui_form1.h"

#include <QCloseEvent>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>

namespace {

// "Rychlost :" -> "Rychlost"
QString withoutColon(QString caption)
{
    if (caption.endsWith(u':'))
        caption.chop(1);
    return caption.trimmed();
}

bool english()
{
    return Module1::LanguageId != 1;
}

} // namespace

Form1::Form1(QWidget *parent) : QMainWindow(parent), ui(new Ui::Form1)
{
    ui->setupUi(this);
    m_keyFields = {ui->Text4, ui->Text5, ui->Text6, ui->Text7};
    m_shownValues.fill(-1);

    ui->Label15->setText(QString::fromLatin1(Maker::WebText));
    ui->Label15->setFont(WindowKit::bigBold());
    ui->Text1->setPlainText(QString::fromLatin1(Maker::Copyright));

    ui->centralwidget->setFixedSize(469, 351);
    resize(469, 351 + ui->menubar->sizeHint().height());
    WindowKit::fixWindow(this, false);

    connect(ui->Text1->document(), &QTextDocument::contentsChange, this, [this] {
        if (!m_writingPreview)
            m_previewEdited = true;
    });
    connect(ui->Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(ui->Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(ui->Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(ui->save, &QAction::triggered, this, &Form1::Command2_Click);
    connect(ui->quit, &QAction::triggered, this, &Form1::Command3_Click);
    connect(ui->lang, &QAction::triggered, this, &Form1::lang_Click);
    connect(ui->help1, &QAction::triggered, this, &Form1::help1_Click);
    connect(ui->about, &QAction::triggered, this, &Form1::about_Click);
    connect(ui->Label15, &ClickableLabel::clicked, this, &Form1::Label15_Click);

    // The tick recomposes only after one of the settings controls has changed.
    const auto changed = [this] { m_controlsChanged = true; };
    for (QLineEdit *field : {ui->Text2, ui->Text3, ui->Text4, ui->Text5, ui->Text6, ui->Text7})
        connect(field, &QLineEdit::textChanged, this, changed);
    for (QScrollBar *bar : {ui->VScroll1, ui->VScroll2, ui->VScroll3, ui->VScroll4, ui->VScroll5})
        connect(bar, &QScrollBar::valueChanged, this, changed);
    for (QAbstractButton *button : std::initializer_list<QAbstractButton *>{
             ui->Check1, ui->Option1, ui->Option2, ui->Option3, ui->Option4, ui->Option5})
        connect(button, &QAbstractButton::toggled, this, changed);

    captionsChanged();
    ui->Text2->setFocus();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, &Form1::Timer1_Timer);
    Timer1->start();
}

Form1::~Form1()
{
    delete ui;
}

void Form1::Form_Load()
{
    lang_Click();
    WindowKit::styleLink(ui->Label15);
    WindowKit::centreOnScreen(this);
}

// ---- refresh tick --------------------------------------------------------------

void Form1::Timer1_Timer()
{
    if (!m_controlsChanged && !m_previewEdited)
        return;
    m_controlsChanged = false;
    ValidateKeyFields();
    const ScriptSettings s = readSettings();
    if (m_composed && s == m_composedFrom) {
        // Settings as last shown: only text typed into the preview needs undoing.
        if (m_previewEdited)
            showScript();
        return;
    }
    showValues(s);
    formSettingLines(s, m_lines);
    ComposeScript(m_lines);
    m_composedFrom = s;
    m_composed = true;
    showScript();
}

void Form1::ValidateKeyFields()
{
    const bool inEnglish = Module1::LanguageId == 2;
    const QString title = inEnglish ? QStringLiteral("Error") : QStringLiteral("Chyba");
    const QString text = inEnglish ? QStringLiteral("Erroneous statement")
                                   : QStringLiteral(u"Chybná hodnota");
    for (size_t i = 0; i < m_keyFields.size(); ++i) {
        QLineEdit *field = m_keyFields[i];
        if (field->text().size() == 1)
            continue;
        const QString letter(QChar::fromLatin1(KeyDefaults[i]));
        // Repaired before the message shows, so that ticks running meanwhile
        // find the field valid and do not report it again.
        field->setText(letter);
        QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, this);
        box.exec();
        field->setText(letter);
    }
}

ScriptSettings Form1::readSettings() const
{
    ScriptSettings s;
    const QScrollBar *bars[5] = {ui->VScroll1, ui->VScroll2, ui->VScroll3, ui->VScroll4,
                                 ui->VScroll5};
    for (size_t i = 0; i < 5; ++i)
        s.bars[i] = qint16(bars[i]->value());
    const QRadioButton *options[5] = {ui->Option1, ui->Option2, ui->Option3, ui->Option4,
                                      ui->Option5};
    for (int i = 0; i < 5; ++i)
        if (options[i]->isChecked()) {
            s.fpsOption = i + 1;
            break;
        }
    s.name = ui->Text2->text();
    s.team = ui->Text3->text();
    for (size_t i = 0; i < 4; ++i)
        s.keys[i] = m_keyFields[i]->text();
    s.invertMouse = ui->Check1->isChecked();
    return s;
}

void Form1::showValues(const ScriptSettings &s)
{
    QLabel *const labels[5] = {ui->Label7, ui->Label8, ui->Label4, ui->Label6, ui->Label10};
    for (size_t i = 0; i < GameBars.size(); ++i) {
        const GameBar &g = GameBars[i];
        const qint16 v = gameValue(g, s.bars[size_t(g.bar - 1)]);
        if (v != m_shownValues[i]) {
            labels[i]->setText(QString::number(v));
            m_shownValues[i] = v;
        }
    }
}

void Form1::showScript()
{
    // The document holds one block per script line; only the characters between
    // the common start and end of old and new text are replaced, so the caret,
    // the scroll position and the layout of untouched lines stay.
    QString doc = m_lines.text;
    doc.replace(QLatin1String("\r\n"), QChar(QChar::ParagraphSeparator));
    QTextDocument *document = ui->Text1->document();
    const QString current = m_previewEdited ? document->toRawText() : m_previewDoc;
    const qsizetype common = qMin(current.size(), doc.size());
    qsizetype head = 0;
    while (head < common && current[head] == doc[head])
        ++head;
    qsizetype tail = 0;
    while (tail < common - head
           && current[current.size() - 1 - tail] == doc[doc.size() - 1 - tail])
        ++tail;
    if (head < current.size() || head < doc.size()) {
        const qsizetype oldEnd = current.size() - tail;
        const qsizetype newEnd = doc.size() - tail;
        QPlainTextEdit *preview = ui->Text1;
        const int caret = preview->textCursor().position();
        const int scroll = preview->verticalScrollBar()->value();
        QTextCursor cursor(document);
        cursor.setPosition(int(head));
        cursor.setPosition(int(oldEnd), QTextCursor::KeepAnchor);
        m_writingPreview = true;
        cursor.insertText(doc.mid(head, newEnd - head));
        m_writingPreview = false;
        if (caret >= head && caret <= oldEnd) {
            // A caret in the replaced stretch stays at its offset there, or at its end.
            QTextCursor moved = preview->textCursor();
            moved.setPosition(int(caret == oldEnd ? newEnd : qMin<qsizetype>(caret, newEnd)));
            preview->setTextCursor(moved);
            preview->verticalScrollBar()->setValue(scroll);
        }
    }
    m_previewDoc = std::move(doc);
    m_previewEdited = false;
}

QString Form1::previewText() const
{
    QString text = ui->Text1->document()->toRawText();
    text.replace(QChar(QChar::ParagraphSeparator), QLatin1String("\r\n"));
    text.replace(QChar(QChar::LineSeparator), QLatin1String("\r\n"));
    return text;
}

// ---- commands ------------------------------------------------------------------

void Form1::Command1_Click()
{
    ui->Text2->setText(QStringLiteral("..."));
    ui->Text3->setText(QStringLiteral("..."));
    for (size_t i = 0; i < 4; ++i)
        m_keyFields[i]->setText(QString(QChar::fromLatin1(KeyDefaults[i])));
    ui->Check1->setChecked(false);
    ui->VScroll3->setValue(997);
    ui->VScroll4->setValue(30);
    ui->VScroll1->setValue(105);
    ui->VScroll2->setValue(105);
    ui->VScroll5->setValue(200);
    ui->Option4->setChecked(true);
}

void Form1::Command2_Click()
{
    save();
}

void Form1::save()
{
    const ScriptFile::Outcome r = ScriptFile::save(previewText());
    if (r.ok)
        return;
    const bool en = english();
    const QString text = (en ? QStringLiteral("The settings could not be saved to\n%1\n\n%2")
                             : QStringLiteral(u"Nastavení se nepodařilo uložit do souboru\n%1\n\n%2"))
                             .arg(r.path, r.reason);
    QMessageBox box(QMessageBox::Critical, en ? QStringLiteral("Error") : QStringLiteral("Chyba"),
                    text, QMessageBox::Ok, this);
    box.exec();
}

void Form1::Command3_Click()
{
    QCoreApplication::exit(0);
}

void Form1::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::LanguageChange)
        captionsChanged();
}

void Form1::closeEvent(QCloseEvent *event)
{
    event->accept();
    QCoreApplication::exit(0);
}

bool Form1::focusNextPrevChild(bool next)
{
    return WindowKit::focusNextSkippingOptions(
        this, next, [this](bool forward) { return QMainWindow::focusNextPrevChild(forward); });
}

void Form1::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shownBefore) {
        m_shownBefore = true;
        ui->Text2->setFocus();
    }
}

void Form1::help1_Click()
{
    if (Module1::LanguageId == 1)
        QMessageBox::information(this, QStringLiteral(u"Nápověda"),
                                 QStringLiteral(u"Tento program musí být ve složce se hrou"));
    else if (Module1::LanguageId == 2)
        QMessageBox::information(this, QStringLiteral("Help"),
                                 QStringLiteral("This program must exist in folders with games"));
}

void Form1::lang_Click()
{
    Form2 dialog(this, this);
    dialog.showModal();
}

void Form1::about_Click()
{
    Form3 box(this);
    box.showModal();
}

void Form1::Label15_Click()
{
    WindowKit::openAddress(Maker::WebUrl);
}

void Form1::captionsChanged()
{
    // Screen readers announce each field and arrow bar by its row's caption.
    const std::pair<QWidget *, QString> names[] = {
        {ui->Text2, ui->Frame1->title()},   {ui->Text3, ui->Frame2->title()},
        {ui->Text4, ui->Label11->text()},   {ui->Text5, ui->Label12->text()},
        {ui->Text6, ui->Label13->text()},   {ui->Text7, ui->Label14->text()},
        {ui->VScroll3, ui->Label1->text()}, {ui->VScroll4, ui->Label2->text()},
        {ui->VScroll1, ui->Label3->text()}, {ui->VScroll2, ui->Label5->text()},
        {ui->VScroll5, ui->Label9->text()}, {ui->Text1, ui->Label16->text()},
    };
    for (const auto &[widget, caption] : names)
        widget->setAccessibleName(withoutColon(caption));

    // Where Save writes, in the interface's language.
    const QString path = ScriptFile::targetPath();
    const QString tip = Module1::LanguageId == 1
        ? QStringLiteral(u"Uloží nastavení do %1").arg(path)
        : QStringLiteral("Saves the settings to %1").arg(path);
    ui->Command2->setToolTip(tip);
    ui->save->setToolTip(tip);
}
