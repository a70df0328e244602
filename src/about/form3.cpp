#include "form3.h"

#include "app/windowkit.h"
#include "script/maker.h"
#include "ui_form3.h"

Form3::Form3(QWidget *parent) : QDialog(parent), ui(new Ui::Form3)
{
    ui->setupUi(this);
    ui->Label1->setFont(WindowKit::bigBold());
    ui->Label6->setFont(WindowKit::bigBold());
    WindowKit::fixWindow(this, true);
    connect(ui->Image1, &ClickableLabel::clicked, this, [] { WindowKit::openAddress(Maker::GameUrl); });
    connect(ui->Image2, &ClickableLabel::clicked, this, [] { WindowKit::openAddress(Maker::WebUrl); });
    connect(ui->Label3, &ClickableLabel::clicked, this, [] { WindowKit::openAddress(Maker::WebUrl); });
}

Form3::~Form3()
{
    delete ui;
}

int Form3::showModal()
{
    Form_Load();
    WindowKit::centreOnScreen(this);
    return exec();
}

void Form3::Form_Load()
{
    WindowKit::styleLink(ui->Label3);
}
