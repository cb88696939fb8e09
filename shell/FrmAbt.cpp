#include "shell/FrmAbt.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace zentimo {

FrmAbt::FrmAbt(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmAbt"));
    setWindowTitle(QStringLiteral("About..."));
    auto* column = new QVBoxLayout(this);
    auto* version = new QLabel(QStringLiteral("Version 3.6"), this);
    version->setObjectName(QStringLiteral("Label7"));
    column->addWidget(version);
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command3"));
    ok->setDefault(true);
    column->addWidget(ok);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace zentimo
