#include "Prostop1.h"

#include "ui_Prostop1.h"

TProst1::TProst1(QWidget* parent) : qor::ModalDialog(parent), ui(new Ui::TProst1) { ui->setupUi(this); }

TProst1::~TProst1() { delete ui; }
