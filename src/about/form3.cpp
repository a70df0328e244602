#include "form3.h"

#include "script/maker.h"
#include "ui_form3.h"
#include "widgets/windowkit.h"

Form3::Form3(QWidget *parent) : ToolDialog(parent), ui(std::make_unique<Ui::Form3>())
{
    ui->setupUi(this);
    const QString web = QString::fromUtf8(Maker::WebText);
    const QString licence = QString::fromUtf8(Maker::LicenceText);
    ui->Label2->setText(QStringLiteral("Copyright ") + Maker::copyright());
    ui->Label7->setText(QStringLiteral("Autor: ") + QString::fromUtf8(Maker::Author));
    ui->Label3->setText(web);
    ui->Label5->setText(QStringLiteral("Licence na ") + licence);
    ui->Label9->setText(QStringLiteral("Licence at ") + licence);
    ui->Label6->setText(QStringLiteral(" v") + QLatin1String(Program::Version) + QString(54, u' ')
                        + QStringLiteral("Id.:21210"));
    ui->Label1->setFont(WindowKit::bigBold());
    ui->Label6->setFont(WindowKit::bigBold());
    ui->Image1->setAccessibleName(QString::fromUtf8(Maker::GameName));
    ui->Image2->setAccessibleName(QString::fromUtf8(Maker::Name));
    WindowKit::showPictures(this);
    connect(ui->Image1, &ClickableLabel::clicked, this,
            [] { WindowKit::openAddress(Maker::GameUrl); });
    for (ClickableLabel *site : {ui->Image2, ui->Label3})
        connect(site, &ClickableLabel::clicked, this,
                [] { WindowKit::openAddress(Maker::WebUrl); });
}

Form3::~Form3() = default;

void Form3::Form_Load()
{
    WindowKit::styleLink(ui->Label3);
}
