#pragma once
// Form3: the Presets dialog.

#include <QDialog>

namespace zentimo {

class Form1;

class Form3 : public QDialog {
    Q_OBJECT
public:
    Form3(Form1& form1, QWidget* owner);

private:
    Form1& m_form1;
};

} // namespace zentimo
