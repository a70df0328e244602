#include "languagedialog.h"

#include "captions.h"
#include "language.h"
#include "ui_languagedialog.h"
#include "widgets/windowkit.h"

LanguageDialog::LanguageDialog(QWidget *parent)
    : ToolDialog(parent), m_ui(std::make_unique<Ui::LanguageDialog>())
{
    m_ui->setupUi(this);
    WindowKit::useFaces(this);
    for (QRadioButton *option : {m_ui->Option1, m_ui->Option2})
        connect(option, &QRadioButton::clicked, this, &LanguageDialog::takeChoice);
    connect(m_ui->Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_ui->Command2, &QPushButton::clicked, this, &LanguageDialog::aboutRequested);
}

LanguageDialog::~LanguageDialog() = default;

void LanguageDialog::prepare()
{
    if (language() == Language::Czech)
        m_ui->Option1->setChecked(true);
    if (language() == Language::English)
        m_ui->Option2->setChecked(true);
    takeChoice();
    // Focus on the selected option; giving focus does not change the selection.
    (m_ui->Option1->isChecked() ? m_ui->Option1 : m_ui->Option2)->setFocus();
}

void LanguageDialog::takeChoice()
{
    if (m_ui->Option1->isChecked())
        setLanguage(Language::Czech);
    if (m_ui->Option2->isChecked())
        setLanguage(Language::English);
    applyCaptions();
}

void LanguageDialog::applyCaptions()
{
    applyDialogCaptions(this, *m_ui);
    emit captionsApplied();
}
