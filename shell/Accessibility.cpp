#include "shell/Accessibility.h"

#include "shell/MainWindow.h"
#include "shell/UpDown.h"

#include <QAccessibleWidget>

namespace zentimo {

namespace {

class AccessibleSpinner : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit AccessibleSpinner(UpDown* w) : QAccessibleWidget(w, QAccessible::SpinBox) {}
    void* interface_cast(QAccessible::InterfaceType t) override
    {
        if (t == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    UpDown* spinner() const { return static_cast<UpDown*>(widget()); }
    QVariant currentValue() const override { return spinner()->value(); }
    void setCurrentValue(const QVariant& value) override { spinner()->setValue(value.toInt()); }
    QVariant maximumValue() const override { return spinner()->maximum(); }
    QVariant minimumValue() const override { return spinner()->minimum(); }
    QVariant minimumStepSize() const override { return 1; }
};

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (className == QLatin1String("zentimo::UpDown"))
        return new AccessibleSpinner(static_cast<UpDown*>(object));
    if (className == QLatin1String("zentimo::Form1") || className == QLatin1String("zentimo::Form1b"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
    // A screen reader speaks a notification when it shows, focused or not (Orca does so for no other role),
    // by its name: the message.
    if (className == QLatin1String("zentimo::Form2"))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
    return nullptr;
}

} // namespace

void installAccessibleRoles()
{
    static bool installed = false;
    if (!installed) {
        installed = true;
        QAccessible::installFactory(factory);
    }
}

} // namespace zentimo
