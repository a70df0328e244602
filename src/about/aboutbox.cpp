#include "aboutbox.h"

#include "script/maker.h"
#include "ui_aboutbox.h"
#include "widgets/windowkit.h"

AboutBox::AboutBox(QWidget *parent) : ToolDialog(parent), m_ui(std::make_unique<Ui::AboutBox>())
{
    m_ui->setupUi(this);
    WindowKit::useFaces(this);
    const QString web = QString::fromUtf8(Maker::WebText);
    const QString licence = QString::fromUtf8(Maker::LicenceText);
    m_ui->Label2->setText(QStringLiteral("Copyright ") + Maker::copyright());
    m_ui->Label7->setText(QStringLiteral("Autor: ") + QString::fromUtf8(Maker::Author));
    m_ui->Label3->setText(web);
    m_ui->Label5->setText(QStringLiteral("Licence na ") + licence);
    m_ui->Label9->setText(QStringLiteral("Licence at ") + licence);
    m_ui->Label6->setText(QStringLiteral(" v") + QLatin1String(Program::Version) + QString(54, u' ')
                          + QStringLiteral("Id.:21210"));
    m_ui->Label1->setFont(WindowKit::bigBold());
    m_ui->Label6->setFont(WindowKit::bigBold());
    m_ui->Image1->setAccessibleDescription(QString::fromUtf8(Maker::GameName));
    m_ui->Image2->setAccessibleDescription(QString::fromUtf8(Maker::Name));
    WindowKit::showPictures(this);
    m_ui->Image1->setAddress(Maker::GameUrl);
    m_ui->Image2->setAddress(Maker::WebUrl);
    m_ui->Label3->setAddress(Maker::WebUrl);
    // The address first, as its tab index has it; the pictures take no index.
    setTabOrder(m_ui->Label3, m_ui->Image1);
    setTabOrder(m_ui->Image1, m_ui->Image2);

    // Screen readers read a dialog's description as it opens: the whole text,
    // in reading order.
    QStringList text;
    for (const QLabel *label : std::initializer_list<const QLabel *>{m_ui->Label1, m_ui->Label2,
                                                                     m_ui->Label7, m_ui->Label3})
        text << label->text();
    text << m_ui->Frame1->title();
    for (const QLabel *label :
         {m_ui->Label4, m_ui->Label5, m_ui->Label8, m_ui->Label9, m_ui->Label6})
        text << label->text().simplified();
    setAccessibleDescription(text.join(u'\n'));
}

AboutBox::~AboutBox() = default;

void AboutBox::prepare()
{
    WindowKit::styleLink(m_ui->Label3);
    m_ui->Label3->setFocus();
}
