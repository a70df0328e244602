#include "form2.h"

#include "about/form3.h"
#include "app/windowkit.h"
#include "captions.h"
#include "module1.h"
#include "ui_form2.h"

Form2::Form2(QWidget *mainWindow, QWidget *parent)
    : QDialog(parent), ui(new Ui::Form2), m_mainWindow(mainWindow)
{
    ui->setupUi(this);
    WindowKit::fixWindow(this, true);
    connect(ui->Option1, &QRadioButton::clicked, this, &Form2::Option1_Click);
    connect(ui->Option2, &QRadioButton::clicked, this, &Form2::Option2_Click);
    connect(ui->Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->Command2, &QPushButton::clicked, this, &Form2::Command2_Click);
}

Form2::~Form2()
{
    delete ui;
}

int Form2::showModal()
{
    Form_Load();
    WindowKit::centreOnScreen(this);
    // Focus on the selected option; giving focus does not change the selection.
    (ui->Option1->isChecked() ? ui->Option1 : ui->Option2)->setFocus();
    return exec();
}

bool Form2::focusNextPrevChild(bool next)
{
    return WindowKit::focusNextSkippingOptions(
        this, next, [this](bool forward) { return QDialog::focusNextPrevChild(forward); });
}

void Form2::Form_Load()
{
    if (Module1::LanguageId == 1)
        ui->Option1->setChecked(true);
    if (Module1::LanguageId == 2)
        ui->Option2->setChecked(true);
    readBack();
    float aktiv = 1.0f;
    optjazyk(aktiv);
}

void Form2::readBack()
{
    if (ui->Option1->isChecked())
        Module1::LanguageId = 1;
    if (ui->Option2->isChecked())
        Module1::LanguageId = 2;
}

void Form2::optjazyk(float &aktiv)
{
    Q_UNUSED(aktiv);
    applyCaptions(Module1::LanguageId, this, m_mainWindow);
}

void Form2::Option1_Click()
{
    readBack();
    float aktiv = 1.0f;
    optjazyk(aktiv);
}

void Form2::Option2_Click()
{
    readBack();
    float aktiv = 2.0f;
    optjazyk(aktiv);
}

void Form2::Command2_Click()
{
    Form3 about(this);
    about.showModal();
}
