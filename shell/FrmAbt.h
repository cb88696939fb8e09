#pragma once
// FrmAbt: the About box.

#include <QDialog>

namespace zentimo {

class FrmAbt : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbt(QWidget* parent = nullptr);
};

} // namespace zentimo
