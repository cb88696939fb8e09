#pragma once
// UpDown: a vertical spinner of two arrow buttons with an integer value (step 1, no wrap). It raises
// valueChanged only when the value really changes, never for a value it refuses.

#include <QWidget>

class QToolButton;

namespace zentimo {

class UpDown : public QWidget {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    int value() const { return m_value; }
    int minimum() const { return m_min; }
    int maximum() const { return m_max; }

    // A value outside the range is refused and changes nothing.
    void setValue(int value);
    // Changing the range pulls the value inside it without a change event.
    void setMinimum(int minimum);
    void setMaximum(int maximum);

    void stepUp();
    void stepDown();

Q_SIGNALS:
    void valueChanged(int value);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QToolButton* m_up;
    QToolButton* m_down;
    int m_value = 0;
    int m_min = 0;
    int m_max = 99;
};

} // namespace zentimo
