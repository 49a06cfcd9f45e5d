#include "Prostop3.h"

#include "ui_Prostop3.h"

TProst3::TProst3(QWidget* parent) : qor::ModalDialog(parent), ui(new Ui::TProst3) { ui->setupUi(this); }

TProst3::~TProst3() { delete ui; }
