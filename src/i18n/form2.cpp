#include "form2.h"

#include "captions.h"
#include "module1.h"
#include "ui_form2.h"

Form2::Form2(QWidget *mainWindow, QWidget *parent)
    : ToolDialog(parent), ui(std::make_unique<Ui::Form2>()), m_mainWindow(mainWindow)
{
    ui->setupUi(this);
    connect(ui->Option1, &QRadioButton::clicked, this, &Form2::Option1_Click);
    connect(ui->Option2, &QRadioButton::clicked, this, &Form2::Option2_Click);
    connect(ui->Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->Command2, &QPushButton::clicked, this, &Form2::aboutRequested);
}

Form2::~Form2() = default;

void Form2::Form_Load()
{
    if (Module1::LanguageId == 1)
        ui->Option1->setChecked(true);
    if (Module1::LanguageId == 2)
        ui->Option2->setChecked(true);
    readBack();
    float aktiv = 1.0f;
    optjazyk(aktiv);
    // Focus on the selected option; giving focus does not change the selection.
    (ui->Option1->isChecked() ? ui->Option1 : ui->Option2)->setFocus();
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
    applyCaptions(this, m_mainWindow);
    emit captionsApplied();
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
