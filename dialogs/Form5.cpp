#include "dialogs/Form5.h"

#include "app/Shared.h"
#include "shell/Form1.h"
#include "shell/Form1b.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace zentimo {

Form5::Form5(Form1& form1, QWidget* owner) : QDialog(owner), m_form1(form1)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Options"));
    auto* done = new QPushButton(QStringLiteral("Done"), this);
    done->setObjectName(QStringLiteral("Command4"));
    done->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("Command5"));
    auto* row = new QHBoxLayout(this);
    row->addWidget(done);
    row->addWidget(cancel);
    shared().BigWindow = -1;
    connect(done, &QPushButton::clicked, this, [this] {
        shared().BigWindow = m_form1.big().isVisible() ? 1 : 0;
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

} // namespace zentimo
