#pragma once
// Tray: the notification-area icon shared by both main windows.

#include <QObject>

namespace zentimo {

class Form1;
class MainWindow;

class Tray : public QObject {
    Q_OBJECT
public:
    explicit Tray(Form1& form1);

    void GoSystemTray(MainWindow& from);
    void removeIcon();

private:
    Form1& m_form1;
};

} // namespace zentimo
