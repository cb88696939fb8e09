#include "shell/FrmAbt.h"

#include "engine/Version.h"
#include "platform/WindowSystem.h"
#include "shell/ShellOpen.h"
#include "shell/kit/Artwork.h"
#include "shell/kit/Twips.h"

#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace zentimo {

const QString FrmAbt::kWebPage = QStringLiteral("http://www.fernwick.example/");
const QString FrmAbt::kSupportMail = QStringLiteral("support@fernwick.example");

namespace {

constexpr double kPoints = 8;
constexpr double kSmallestPoints = 6;

// The box is drawn to fixed twips sizes; a label whose one line of text would be cut gets a
// slightly smaller font instead.
void fitOneLine(QLabel* label)
{
    QFont font = label->font();
    while (font.pointSizeF() > kSmallestPoints &&
           QFontMetrics(font).horizontalAdvance(label->text()) > label->contentsRect().width()) {
        font.setPointSizeF(font.pointSizeF() - 0.25);
    }
    label->setFont(font);
}

QLabel* addLabel(QWidget* frame, const char* name, const QString& text, QRect twips, bool centred)
{
    auto* label = new QLabel(text, frame);
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(twips);
    label->setAlignment((centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    return label;
}

QLabel* addLink(QWidget* frame, const char* name, const QString& text, QRect twips)
{
    QLabel* label = addLabel(frame, name, text, twips, true);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    label->setPalette(palette);
    label->setCursor(Qt::PointingHandCursor);
    fitOneLine(label);
    return label;
}

// Sizes itself to the logo inside its sunken border.
void addLogo(QWidget* frame)
{
    auto* picture = new QLabel(frame);
    picture->setObjectName(QStringLiteral("Picture1"));
    picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    picture->setLineWidth(2);
    const QPixmap logo = productLogo();
    picture->setPixmap(logo);
    picture->setAlignment(Qt::AlignCenter);
    picture->setGeometry(
        QRect(twipsRect(90, 180, 0, 0).topLeft(), logo.deviceIndependentSize().toSize() + QSize(4, 4)));
    picture->setAccessibleName(QStringLiteral("Zentimo logo"));
}

void addNotices(QWidget* frame)
{
    fitOneLine(addLabel(frame, "Label7", QStringLiteral("Version ") + QLatin1String(kVersion),
                        twipsRect(2310, 210, 1815, 195), false));
    fitOneLine(addLabel(frame, "Label1", QStringLiteral("\u00A9 2004 Fernwick"),
                        twipsRect(90, 1470, 2130, 255), true));
    fitOneLine(addLabel(frame, "Label2", QStringLiteral("This program is freeware."),
                        twipsRect(90, 1830, 2130, 225), true));
    QLabel* more = addLabel(frame, "Label3", QStringLiteral("Find more cool software from Fernwick at:"),
                            twipsRect(2520, 930, 2175, 405), true);
    more->setWordWrap(true);
    QPalette black = more->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    more->setPalette(black);
}

} // namespace

FrmAbt::FrmAbt(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("FrmAbt"));
    setWindowTitle(QStringLiteral("About..."));
    // A dialog, not a tool window: desktops hide the tool windows of a program that is not the active one.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Opened from the tray while both main windows are hidden, closing it must not end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    QFont font = this->font();
    font.setPointSizeF(kPoints);
    setFont(font);
    setFixedSize(twipsToPixels(5055), twipsToPixels(2925));
    // Window managers differ on whether a dialog without owner gets a taskbar entry; saying so makes it one
    // rule.
    WindowSystem::current().keepOutOfTaskbar(this);

    auto* frame = new QGroupBox(this);
    frame->setObjectName(QStringLiteral("Frame1"));
    frame->setGeometry(twipsRect(90, 60, 4875, 2775));

    addLogo(frame);
    addNotices(frame);
    m_web = addLink(frame, "Label6", kWebPage, twipsRect(2400, 1470, 2265, 255));
    m_mail = addLink(frame, "Label5", kSupportMail, twipsRect(2280, 1830, 2535, 225));
    m_web->installEventFilter(this);
    m_mail->installEventFilter(this);

    auto* ok = new QPushButton(QStringLiteral("OK"), frame);
    ok->setObjectName(QStringLiteral("Command3"));
    ok->setGeometry(twipsRect(2310, 2190, 2445, 495));
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void FrmAbt::Label6_Click()
{
    ShellOpen(this, kWebPage);
}

void FrmAbt::Label5_Click()
{
    ShellOpen(this, QStringLiteral("mailto:") + kSupportMail);
}

// A link opens on a left click released over it, as a button would.
bool FrmAbt::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_web || watched == m_mail) && event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        auto* label = static_cast<QLabel*>(watched);
        if (mouse->button() == Qt::LeftButton && label->rect().contains(mouse->position().toPoint())) {
            if (watched == m_web)
                Label6_Click();
            else
                Label5_Click();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zentimo
