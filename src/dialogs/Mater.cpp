#include "Mater.h"

#include "ui_Mater.h"

TMaterial::TMaterial(QWidget* parent) : qor::ModalDialog(parent), ui(new Ui::TMaterial) { ui->setupUi(this); }

TMaterial::~TMaterial() { delete ui; }
