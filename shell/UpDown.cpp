#include "shell/UpDown.h"

#include <QKeyEvent>
#include <QToolButton>

namespace zentimo {

UpDown::UpDown(QWidget* parent) : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this))
{
    setFocusPolicy(Qt::TabFocus);
    for (QToolButton* b : {m_up, m_down}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setAutoRepeatDelay(400);
        b->setAutoRepeatInterval(80);
    }
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    m_up->setObjectName(QStringLiteral("up"));
    m_down->setObjectName(QStringLiteral("down"));
    m_up->setAccessibleName(tr("Up"));
    m_down->setAccessibleName(tr("Down"));
    connect(m_up, &QToolButton::clicked, this, &UpDown::stepUp);
    connect(m_down, &QToolButton::clicked, this, &UpDown::stepDown);
}

void UpDown::setValue(int value)
{
    if (value < m_min || value > m_max || value == m_value)
        return;
    m_value = value;
    Q_EMIT valueChanged(m_value);
}

void UpDown::setMinimum(int minimum)
{
    m_min = minimum;
    m_max = std::max(m_max, m_min);
    m_value = std::clamp(m_value, m_min, m_max);
}

void UpDown::setMaximum(int maximum)
{
    m_max = maximum;
    m_min = std::min(m_min, m_max);
    m_value = std::clamp(m_value, m_min, m_max);
}

void UpDown::stepUp()
{
    if (isEnabled())
        setValue(m_value + 1);
}

void UpDown::stepDown()
{
    if (isEnabled())
        setValue(m_value - 1);
}

void UpDown::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Up:
        stepUp();
        break;
    case Qt::Key_Down:
        stepDown();
        break;
    default:
        QWidget::keyPressEvent(event);
    }
}

void UpDown::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int half = height() / 2;
    m_up->setGeometry(0, 0, width(), half);
    m_down->setGeometry(0, half, width(), height() - half);
}

} // namespace zentimo
