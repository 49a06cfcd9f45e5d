#include "Dp1.h"

#include "ui_Dp1.h"

TP1::TP1(QWidget* parent) : qor::ModalDialog(parent), ui(new Ui::TP1) { ui->setupUi(this); }

TP1::~TP1() { delete ui; }
