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
    ui->Image1->setAccessibleDescription(QString::fromUtf8(Maker::GameName));
    ui->Image2->setAccessibleDescription(QString::fromUtf8(Maker::Name));
    WindowKit::showPictures(this);
    ui->Image1->setAddress(Maker::GameUrl);
    ui->Image2->setAddress(Maker::WebUrl);
    ui->Label3->setAddress(Maker::WebUrl);
    // The address first, as its tab index has it; the pictures take no index.
    setTabOrder(ui->Label3, ui->Image1);
    setTabOrder(ui->Image1, ui->Image2);

    // Screen readers read a dialog's description as it opens: the whole text,
    // in reading order.
    QStringList text;
    for (const QLabel *label :
         std::initializer_list<const QLabel *>{ui->Label1, ui->Label2, ui->Label7, ui->Label3})
        text << label->text();
    text << ui->Frame1->title();
    for (const QLabel *label : {ui->Label4, ui->Label5, ui->Label8, ui->Label9, ui->Label6})
        text << label->text().simplified();
    setAccessibleDescription(text.join(u'\n'));
}

Form3::~Form3() = default;

void Form3::Form_Load()
{
    WindowKit::styleLink(ui->Label3);
    ui->Label3->setFocus();
}
