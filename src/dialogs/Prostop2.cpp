#include "Prostop2.h"

#include "ui_Prostop2.h"

TProst2::TProst2(QWidget* parent) : qor::ModalDialog(parent), ui(new Ui::TProst2) { ui->setupUi(this); }

TProst2::~TProst2() { delete ui; }
