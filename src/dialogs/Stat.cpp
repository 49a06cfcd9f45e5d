#include "Stat.h"

#include "ui_Stat.h"

TSt::TSt(QWidget* parent) : qor::ModalDialog(parent), ui(new Ui::TSt) { ui->setupUi(this); }

TSt::~TSt() { delete ui; }
