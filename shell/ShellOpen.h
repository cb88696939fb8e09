#pragma once
// ShellOpen: hands a web page or mail address to the desktop's "open" action (browser, mail program).
// Nothing is reported when no program takes it.

#include <QStringList>

class QWidget;

namespace zentimo {

// window is the one the request comes from; the desktop decides where the target opens.
void ShellOpen(QWidget* window, const QString& target);

// While one exists, ShellOpen keeps its targets here instead of opening them; for tests.
class ShellOpenRecorder {
public:
    ShellOpenRecorder();
    ~ShellOpenRecorder();
    ShellOpenRecorder(const ShellOpenRecorder&) = delete;
    ShellOpenRecorder& operator=(const ShellOpenRecorder&) = delete;

    const QStringList& opened() const { return m_opened; }

private:
    friend void ShellOpen(QWidget* window, const QString& target);
    QStringList m_opened;
};

} // namespace zentimo
