#include "Wynobl.h"

#include "ui_Wynobl.h"

TWYNOB::TWYNOB(QWidget* parent) : qor::ModalDialog(parent), ui(new Ui::TWYNOB) { ui->setupUi(this); }

TWYNOB::~TWYNOB() { delete ui; }
