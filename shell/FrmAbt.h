#pragma once
// FrmAbt: the About box, opened modally without owner from both main windows and the tray menu.
//   Frame1 holds everything: Picture1 logo   Label7 version   Label1 notice   Label2 freeware notice
//   Label3 "Find more ..."   Label6 web page link   Label5 support mail link   Command3 OK

#include <QDialog>

class QLabel;

namespace zentimo {

class FrmAbt : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbt(QWidget* parent = nullptr);

    // The maker's addresses: link captions and the targets ShellOpen receives.
    static const QString kWebPage;     // caption and target
    static const QString kSupportMail; // caption; the target adds "mailto:"

    void Label6_Click(); // web page
    void Label5_Click(); // support mail

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* m_web = nullptr;
    QLabel* m_mail = nullptr;
};

} // namespace zentimo
