#include "dialogs/Form4.h"

#include "settings/Catalogue.h"
#include "shell/kit/DigitFont.h"
#include "shell/kit/GradientMod.h"
#include "shell/kit/Twips.h"
#include "shell/kit/WinColor.h"

#include <QButtonGroup>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QGroupBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>

namespace zentimo {

namespace {

constexpr int kClientWidth = 5265; // twips
constexpr int kClientHeight = 3885;
constexpr int kSlot = 825; // twips from one sample to the next
constexpr int kInset = 105;

const char* const kDigitNames[6] = {"Yellow", "Magenta", "Cyan", "White", "Green", "Red"};
const char* const kBackgroundNames[6] = {"Red", "Green", "Blue", "Cyan", "Yellow", "Magenta"};
const char* const kButtonNames[6] = {"Magenta", "Light blue", "Cyan", "Green", "Red", "Light yellow"};

template <class W> W* named(W* widget, const QString& name, int index = -1)
{
    widget->setObjectName(name);
    if (index >= 0)
        widget->setProperty("index", index);
    return widget;
}

void place(QWidget* widget, int left, int top, int width, int height)
{
    widget->setGeometry(twipsRect(left, top, width, height));
}

QString defaultWindowsColor()
{
    return QStringLiteral("Default Windows color");
}

} // namespace

Form4::Form4(QWidget* options) : QDialog(options)
{
    build();
    load();
}

Form4::~Form4() = default;

void Form4::build()
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Colors"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight));
    if (parentWidget())
        setFont(parentWidget()->font()); // the Options dialog's face, which windows do not inherit

    auto* frame1 = named(new QGroupBox(QStringLiteral("Digits:"), this), QStringLiteral("Frame1"));
    place(frame1, 90, 30, 5085, 930);
    m_option1 = new QButtonGroup(this);
    const QFont digits = digitFont(24);
    for (int i = 0; i < 6; ++i) {
        auto* option = named(new QRadioButton(QStringLiteral("0"), frame1), QStringLiteral("Option1"), i);
        option->setFont(digits);
        option->setAccessibleName(QString::fromLatin1(kDigitNames[i]) + QStringLiteral(" digits"));
        QPalette pal = option->palette();
        pal.setColor(QPalette::Window, fromWinColor(kDigitBackground));
        pal.setColor(QPalette::WindowText, fromWinColor(kDigitColors[i]));
        option->setPalette(pal);
        option->setBackgroundRole(QPalette::Window);
        option->setAutoFillBackground(true);
        option->setContentsMargins(6, 0, 0, 0);
        place(option, kInset + i * kSlot, 255, 780, 585);
        m_option1->addButton(option, i);
    }

    auto* frame2 = named(new QGroupBox(QStringLiteral("Background:"), this), QStringLiteral("Frame2"));
    place(frame2, 90, 1020, 5085, 1380);
    m_option2 = new QButtonGroup(this);
    for (int k = 0; k < 6; ++k) {
        auto* picture = named(new QFrame(frame2), QStringLiteral("Picture%1").arg(k + 1));
        picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        picture->setCursor(Qt::PointingHandCursor);
        picture->setFixedSize(twipsRect(0, 0, 600, 420).size());
        picture->move(twipsRect(kInset + k * kSlot + 90, 270, 600, 420).topLeft());
        picture->installEventFilter(this);
        m_pictures[k] = picture;

        auto* option = named(new QRadioButton(frame2), QStringLiteral("Option2"), k);
        option->setAccessibleName(QString::fromLatin1(kBackgroundNames[k]) + QStringLiteral(" background"));
        place(option, kInset + k * kSlot + 270, 720, 255, 255);
        m_option2->addButton(option, k);
    }
    auto* option26 = named(new QRadioButton(defaultWindowsColor(), frame2), QStringLiteral("Option2"), 6);
    option26->setAccessibleDescription(QStringLiteral("Background"));
    place(option26, kInset, 1035, 3600, 270);
    m_option2->addButton(option26, 6);

    auto* frame3 = named(new QGroupBox(QStringLiteral("Buttons:"), this), QStringLiteral("Frame3"));
    place(frame3, 90, 2460, 5085, 1005);
    m_option3 = new QButtonGroup(this);
    for (int i = 0; i < 7; ++i) {
        auto* sample = named(new QPushButton(frame3), QStringLiteral("Command3"), i);
        if (i < 6) {
            const QColor c = fromWinColor(kButtonColors[i]);
            QPalette pal = sample->palette();
            pal.setColor(QPalette::Button, c);
            sample->setPalette(pal);
            // Flat, as the main windows draw their buttons: a style's shading would wash the colour out.
            sample->setStyleSheet(
                QStringLiteral("QPushButton { background-color: %1; border: 1px solid %2;"
                               " border-radius: 3px; }"
                               "QPushButton:pressed, QPushButton:focus { border: 2px solid %2; }")
                    .arg(c.name(), c.darker(220).name()));
            sample->setAccessibleName(QString::fromLatin1(kButtonNames[i]));
            place(sample, kInset + i * kSlot + 60, 255, 450, 390);
            connect(sample, &QPushButton::clicked, this, [this, i] { Command3_Click(i); });
        } else {
            // Carries the system colour of choice 6; never shown.
            sample->setVisible(false);
        }
        m_command3[i] = sample;

        QRadioButton* option =
            i < 6 ? new QRadioButton(frame3) : new QRadioButton(defaultWindowsColor(), frame3);
        named(option, QStringLiteral("Option3"), i);
        if (i < 6) {
            option->setAccessibleName(QString::fromLatin1(kButtonNames[i]) + QStringLiteral(" buttons"));
            place(option, kInset + i * kSlot + 540, 315, 255, 255);
        } else {
            option->setAccessibleDescription(QStringLiteral("Buttons"));
            place(option, kInset, 690, 3600, 270);
        }
        m_option3->addButton(option, i);
    }

    auto* ok = named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("Command2"));
    ok->setDefault(true);
    place(ok, 2895, 3525, 1095, 330);
    // Buttons of a dialog are auto-default: Enter presses the one with the focus, OK only from elsewhere.
    auto* cancel = named(new QPushButton(QStringLiteral("Cancel"), this), QStringLiteral("Command1"));
    place(cancel, 4080, 3525, 1095, 330);
    connect(ok, &QPushButton::clicked, this, &Form4::Command2_Click);
    connect(cancel, &QPushButton::clicked, this, &Form4::Command1_Click);
}

void Form4::load()
{
    m_settings = zentimoSettings();
    for (int k = 0; k < 6; ++k)
        paintBackgroundChoice(m_pictures[k], k);

    const Catalogue options(m_settings);
    // A stored choice outside 0..6 leaves no background option selected.
    if (QAbstractButton* b = m_option2->button(options.readInt(OptionKey::BackgroundColor)))
        b->setChecked(true);

    m_option1->button(0)->setChecked(true);
    const std::uint32_t digits = options.readColor(OptionKey::DigitColor);
    for (int i = 0; i < int(kDigitColors.size()); ++i) {
        if (kDigitColors[i] == digits) {
            m_option1->button(i)->setChecked(true);
            break;
        }
    }

    m_option3->button(0)->setChecked(true);
    const std::uint32_t buttons = options.readColor(OptionKey::ButtonColor);
    for (int i = 0; i < int(kButtonColors.size()); ++i) {
        if (kButtonColors[i] == buttons) {
            m_option3->button(i)->setChecked(true);
            break;
        }
    }
}

void Form4::Picture_Click(int picture)
{
    m_option2->button(picture - 1)->setChecked(true);
}

void Form4::Command3_Click(int index)
{
    m_option3->button(index)->setChecked(true);
}

std::optional<ColorChoice> Form4::choose()
{
    m_choice.reset();
    exec();
    return m_choice;
}

void Form4::Command2_Click()
{
    ColorChoice choice;
    if (const int digit = m_option1->checkedId(); digit >= 0)
        choice.DigitColor = std::int32_t(kDigitColors[digit]);
    // No background selected (an odd stored choice) hands over no change.
    choice.BackgroundIndex = m_option2->checkedId();
    if (const int button = m_option3->checkedId(); button >= 0)
        choice.ButtonColor = std::int32_t(kButtonColors[button]);
    m_choice = choice;
    accept();
}

void Form4::Command1_Click()
{
    reject();
}

void Form4::reject()
{
    m_choice.reset();
    QDialog::reject();
}

bool Form4::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        for (int k = 0; k < 6; ++k) {
            if (watched == m_pictures[k] && mouse->button() == Qt::LeftButton &&
                m_pictures[k]->rect().contains(mouse->position().toPoint())) {
                Picture_Click(k + 1);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zentimo
