#pragma once
// Form5: the Options dialog.

#include <QDialog>

namespace zentimo {

class Form1;

class Form5 : public QDialog {
    Q_OBJECT
public:
    Form5(Form1& form1, QWidget* owner);

private:
    Form1& m_form1;
};

} // namespace zentimo
