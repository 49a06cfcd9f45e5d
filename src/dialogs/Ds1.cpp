#include "Ds1.h"

#include "ui_Ds1.h"

TS1::TS1(QWidget* parent) : qor::ModalDialog(parent), ui(new Ui::TS1) { ui->setupUi(this); }

TS1::~TS1() { delete ui; }
