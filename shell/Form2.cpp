#include "shell/Form2.h"

#include "platform/WindowSystem.h"
#include "shell/kit/Artwork.h"
#include "shell/kit/Twips.h"
#include "shell/kit/WinColor.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTimer>
#include <algorithm>

namespace zentimo {

namespace {

Form2* s_current = nullptr;

constexpr int kScrollTwips = 25;
constexpr int kTimer1IntervalMs = 16; // about 60 steps a second: a smooth scroll that costs little
// Two pixels below the strip's top; the LED rows then fill it to its bottom edge.
constexpr int kLabelTopTwips = 30;

int ceilDiv(int a, int b)
{
    return a / b + ((a % b != 0) && ((a < 0) == (b < 0)) ? 1 : 0);
}

} // namespace

Form2::Form2() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    WindowSystem& windows = WindowSystem::current();
    // Where no band keeps the panel in front it must become the active window to stand there.
    setWindowFlag(Qt::WindowDoesNotAcceptFocus, windows.canStayOnTop());
    // Where the screen is composited, the surround is left transparent as well as cut away by the mask: a
    // Wayland compositor takes a mask only as where input goes.
    if (windows.translucentWindows())
        setAttribute(Qt::WA_TranslucentBackground);
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Zentimo"));
    setAttribute(Qt::WA_DeleteOnClose);
    // Closing the message must never end the program, even while the main window sits in the tray.
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(twipsToPixels(10380), twipsToPixels(1860));

    QPalette pal = palette();
    pal.setColor(QPalette::Window, fromWinColor(backColor()));
    setPalette(pal);
    setAutoFillBackground(!testAttribute(Qt::WA_TranslucentBackground));
    m_picture = messagePanelImage();
    buildStrip();
    buildCloseButton();

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTimer1IntervalMs);
    Timer1->setTimerType(Qt::PreciseTimer);
    connect(Timer1, &QTimer::timeout, this, &Form2::scrollStep);

    s_current = this;
    Form_Load();
}

void Form2::buildStrip()
{
    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(twipsRect(450, 720, 7815, 705));
    Picture1->setAttribute(Qt::WA_OpaquePaintEvent);
    Picture1->installEventFilter(this);

    Label1 = new QWidget(Picture1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAttribute(Qt::WA_TransparentForMouseEvents);

    m_board = QImage(Picture1->size(), QImage::Format_RGB32);
    m_board.fill(Qt::black);
    {
        QPainter p(&m_board);
        p.drawImage(0, twipsToPixels(kLabelTopTwips),
                    ledBoardImage(QSize(Picture1->width(), kLedRows * kLedPitch)));
    }
    m_litLed = ledImage(true);
}

void Form2::buildCloseButton()
{
    Pictureb = new QLabel(this);
    Pictureb->setObjectName(QStringLiteral("Pictureb"));
    Pictureb->setAccessibleName(QStringLiteral("Close"));
    Pictureb->setGeometry(twipsRect(8760, 480, 1230, 1050));
    QPalette white = Pictureb->palette();
    white.setColor(QPalette::Window, Qt::white);
    Pictureb->setPalette(white);
    Pictureb->setAutoFillBackground(true);
    Pictureb->installEventFilter(this);
    ImageList1 = {QPixmap::fromImage(closeButtonImage(false)), QPixmap::fromImage(closeButtonImage(true))};
}

Form2::~Form2()
{
    if (s_current == this) {
        s_current = nullptr;
    }
}

Form2* Form2::ShowAlarm(const QString& message)
{
    Form2* form = s_current ? s_current : new Form2;
    form->setMessage(message);
    form->setLabelLeftTwips(form->stripScaleWidthTwips());
    form->show();
    form->raise();
    // After the alarm has given the main window back and focused it, or it would cover the panel.
    if (!WindowSystem::current().canStayOnTop())
        QTimer::singleShot(0, form, [form] { WindowSystem::current().bringForward(form); });
    return form;
}

Form2* Form2::current()
{
    return s_current;
}

void Form2::Form_Load()
{
    m_trimmer.TrimForm(this, m_picture, backColor());
    showButtonImage(1);
    WindowSystem::current().keepOutOfTaskbar(this);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        move(screen->geometry().center() - rect().center());
    }
}

QString Form2::message() const
{
    return m_message;
}

int Form2::labelLeftTwips() const
{
    return m_labelLeft;
}

int Form2::stripScaleWidthTwips() const
{
    return pixelsToTwips(Picture1->width());
}

std::uint32_t Form2::backColor() const
{
    return kAlarmRed;
}

void Form2::setMessage(const QString& message)
{
    m_message = message;
    m_dots = ledDotMatrix(message);
    m_labelWidth = pixelsToTwips(m_dots.width() * kLedPitch);
    Label1->setAccessibleName(message);
    setAccessibleName(message);
    // Its showing is what a screen reader announces: a panel still open is announced again.
    if (isVisible()) {
        QAccessibleEvent shown(this, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&shown);
    }
    Label1->resize(m_dots.width() * kLedPitch, kLedRows * kLedPitch);
}

void Form2::setLabelLeftTwips(int twips)
{
    m_labelLeft = twips;
    Label1->move(twipsToPixels(m_labelLeft), twipsToPixels(kLabelTopTwips));
    Picture1->update();
}

void Form2::scrollStep()
{
    int left = m_labelLeft - kScrollTwips;
    if (left < -m_labelWidth) {
        left = stripScaleWidthTwips();
    }
    setLabelLeftTwips(left);
}

void Form2::paintEvent(QPaintEvent* event)
{
    Q_UNUSED(event);
    QPainter p(this);
    if (testAttribute(Qt::WA_TranslucentBackground))
        p.setClipRegion(mask());
    p.drawImage(0, 0, m_picture);
}

// Lit LEDs snap to the board's grid at or after the label's left edge, so the text steps a whole LED at a
// time like a real board and shows nothing while it waits beyond the strip's right edge.
void Form2::paintStrip()
{
    QPainter p(Picture1);
    p.drawImage(0, 0, m_board);
    if (m_dots.isNull()) {
        return;
    }
    const int firstColumn = ceilDiv(twipsToPixels(m_labelLeft), kLedPitch);
    const int boardColumns = (Picture1->width() + kLedPitch - 1) / kLedPitch;
    const int from = std::max(0, -firstColumn);
    const int to = std::min(m_dots.width(), boardColumns - firstColumn);
    const int top = twipsToPixels(kLabelTopTwips);
    for (int row = 0; row < m_dots.height(); ++row) {
        const uchar* dots = m_dots.constScanLine(row);
        for (int column = from; column < to; ++column) {
            if (dots[column] != 0) {
                p.drawImage((firstColumn + column) * kLedPitch, top + row * kLedPitch, m_litLed);
            }
        }
    }
}

void Form2::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Timer1->start();
}

void Form2::hideEvent(QHideEvent* event)
{
    Timer1->stop();
    QWidget::hideEvent(event);
}

void Form2::closeEvent(QCloseEvent* event)
{
    Timer1->stop();
    if (s_current == this) {
        s_current = nullptr;
    }
    if (!m_unloaded) {
        m_unloaded = true;
        Q_EMIT queryUnload();
    }
    event->accept();
}

// The panel can be dragged aside: centred on the screen it may cover the main window's Alarm Off button.
void Form2::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_trimmer.GrabForm(this);
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}

bool Form2::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Picture1 && event->type() == QEvent::Paint) {
        paintStrip();
        return true;
    }
    if (watched == Pictureb) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
                m_buttonHeld = true;
                Pictureb_MouseDown();
            }
            return true;
        case QEvent::MouseButtonRelease: {
            const auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() == Qt::LeftButton && m_buttonHeld) {
                m_buttonHeld = false;
                Pictureb_MouseUp();
                if (Pictureb->rect().contains(mouse->position().toPoint())) {
                    Pictureb_Click();
                }
            }
            return true;
        }
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void Form2::showButtonImage(int index)
{
    Pictureb->setPixmap(ImageList1[std::size_t(index - 1)]);
}

void Form2::Pictureb_MouseDown()
{
    showButtonImage(2);
}

void Form2::Pictureb_MouseUp()
{
    showButtonImage(1);
}

void Form2::Pictureb_Click()
{
    close();
}

} // namespace zentimo
