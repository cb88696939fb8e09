#include "dialogs/Form3.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace zentimo {

Form3::Form3(Form1& form1, QWidget* owner) : QDialog(owner), m_form1(form1)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Presets"));
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setObjectName(QStringLiteral("Command4"));
    close->setDefault(true);
    auto* row = new QHBoxLayout(this);
    row->addWidget(close);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

} // namespace zentimo
