#pragma once
#include <QWidget>
namespace zentimo {
class Form2 : public QWidget {
    Q_OBJECT
public:
    static Form2* ShowAlarm(const QString& message);
    static Form2* current();
Q_SIGNALS:
    void queryUnload();
};
}
