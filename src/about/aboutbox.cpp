#include "aboutbox.h"

#include "script/maker.h"
#include "ui_aboutbox.h"
#include "widgets/windowkit.h"

AboutBox::AboutBox(QWidget *parent) : ToolDialog(parent), m_ui(std::make_unique<Ui::AboutBox>())
{
    m_ui->setupUi(this);
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
    m_ui->Image1->setAccessibleName(QString::fromUtf8(Maker::GameName));
    m_ui->Image2->setAccessibleName(QString::fromUtf8(Maker::Name));
    WindowKit::showPictures(this);
    connect(m_ui->Image1, &ClickableLabel::clicked, this,
            [] { WindowKit::openAddress(Maker::GameUrl); });
    for (ClickableLabel *site : {m_ui->Image2, m_ui->Label3})
        connect(site, &ClickableLabel::clicked, this,
                [] { WindowKit::openAddress(Maker::WebUrl); });
}

AboutBox::~AboutBox() = default;

void AboutBox::prepare()
{
    WindowKit::styleLink(m_ui->Label3);
}
