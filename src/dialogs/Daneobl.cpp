#include "Daneobl.h"

#include "ui_Daneobl.h"

TDANEOB::TDANEOB(QWidget* parent) : qor::ModalDialog(parent), ui(new Ui::TDANEOB) { ui->setupUi(this); }

TDANEOB::~TDANEOB() { delete ui; }
