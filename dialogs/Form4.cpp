#include "dialogs/Form4.h"

#include "dialogs/DesignRect.h"
#include "engine/Colors.h"
#include "shell/kit/DigitFont.h"
#include "shell/kit/GradientMod.h"
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
constexpr int kSamples = 6;      // choices with a sample; the system colour is the one after them
constexpr int kSystemChoice = 6; // "Default Windows color"
constexpr int kDigitPoints = 24;

constexpr DesignRect kFrame1{.left = 90, .top = 30, .width = 5085, .height = 930};
constexpr DesignRect kFrame2{.left = 90, .top = 1020, .width = 5085, .height = 1380};
constexpr DesignRect kFrame3{.left = 90, .top = 2460, .width = 5085, .height = 1005};
constexpr DesignRect kOk{.left = 2895, .top = 3525, .width = 1095, .height = 330};
constexpr DesignRect kCancel{.left = 4080, .top = 3525, .width = 1095, .height = 330};
// The first of each row of samples, inside its frame; sample k stands k slots further right.
constexpr DesignRect kDigitSample{.left = kInset, .top = 255, .width = 780, .height = 585};
constexpr DesignRect kPicture{.left = kInset + 90, .top = 270, .width = 600, .height = 420};
constexpr DesignRect kPictureOption{.left = kInset + 270, .top = 720, .width = 255, .height = 255};
constexpr DesignRect kSystemBackground{.left = kInset, .top = 1035, .width = 3600, .height = 270};
constexpr DesignRect kButtonSample{.left = kInset + 60, .top = 255, .width = 450, .height = 390};
constexpr DesignRect kButtonOption{.left = kInset + 540, .top = 315, .width = 255, .height = 255};
constexpr DesignRect kSystemButtons{.left = kInset, .top = 690, .width = 3600, .height = 270};

const char* const kDigitNames[kSamples] = {"Yellow", "Magenta", "Cyan", "White", "Green", "Red"};
const char* const kBackgroundNames[kSamples] = {"Red", "Green", "Blue", "Cyan", "Yellow", "Magenta"};
const char* const kButtonNames[kSamples] = {"Magenta", "Light blue", "Cyan", "Green", "Red", "Light yellow"};

template <class W> W* named(W* widget, const QString& name, int index = -1)
{
    widget->setObjectName(name);
    if (index >= 0)
        widget->setProperty("index", index);
    return widget;
}

QString defaultWindowsColor()
{
    return QStringLiteral("Default Windows color");
}

QGroupBox* frame(const QString& caption, const char* name, const DesignRect& place, QWidget* dialog)
{
    auto* box = named(new QGroupBox(caption, dialog), QString::fromLatin1(name));
    box->setGeometry(pixels(place));
    return box;
}

// Marks the first choice whose colour is the stored one; an unknown colour leaves the design's first.
template <std::size_t N>
void markColor(QButtonGroup* group, const std::array<std::uint32_t, N>& colors, std::int32_t stored)
{
    group->button(0)->setChecked(true);
    for (int i = 0; i < int(N); ++i) {
        if (colors[i] == std::uint32_t(stored)) {
            group->button(i)->setChecked(true);
            break;
        }
    }
}

} // namespace

Form4::Form4(const ColorChoice& stored, QWidget* options) : ValueDialog(options)
{
    build();
    load(stored);
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
    buildDigits();
    buildBackgrounds();
    buildButtons();
    buildOkCancel();
}

void Form4::buildDigits()
{
    QGroupBox* frame1 = frame(QStringLiteral("Digits:"), "Frame1", kFrame1, this);
    m_option1 = new QButtonGroup(this);
    const QFont digits = digitFont(kDigitPoints);
    for (int i = 0; i < kSamples; ++i) {
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
        option->setGeometry(pixels(kDigitSample, i * kSlot));
        m_option1->addButton(option, i);
    }
}

void Form4::buildBackgrounds()
{
    QGroupBox* frame2 = frame(QStringLiteral("Background:"), "Frame2", kFrame2, this);
    m_option2 = new QButtonGroup(this);
    for (int k = 0; k < kSamples; ++k) {
        auto* picture = named(new QFrame(frame2), QStringLiteral("Picture%1").arg(k + 1));
        picture->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        picture->setCursor(Qt::PointingHandCursor);
        const QRect place = pixels(kPicture, k * kSlot);
        picture->setFixedSize(place.size());
        picture->move(place.topLeft());
        picture->installEventFilter(this);
        m_pictures[k] = picture;

        auto* option = named(new QRadioButton(frame2), QStringLiteral("Option2"), k);
        option->setAccessibleName(QString::fromLatin1(kBackgroundNames[k]) + QStringLiteral(" background"));
        option->setGeometry(pixels(kPictureOption, k * kSlot));
        m_option2->addButton(option, k);
    }
    auto* system =
        named(new QRadioButton(defaultWindowsColor(), frame2), QStringLiteral("Option2"), kSystemChoice);
    system->setAccessibleDescription(QStringLiteral("Background"));
    system->setGeometry(pixels(kSystemBackground));
    m_option2->addButton(system, kSystemChoice);
}

void Form4::buildButtons()
{
    QGroupBox* frame3 = frame(QStringLiteral("Buttons:"), "Frame3", kFrame3, this);
    m_option3 = new QButtonGroup(this);
    for (int i = 0; i < kSamples; ++i) {
        buttonSample(frame3, i);
        auto* option = named(new QRadioButton(frame3), QStringLiteral("Option3"), i);
        option->setAccessibleName(QString::fromLatin1(kButtonNames[i]) + QStringLiteral(" buttons"));
        option->setGeometry(pixels(kButtonOption, i * kSlot));
        m_option3->addButton(option, i);
    }
    // Carries the system colour of the last choice; never shown.
    named(new QPushButton(frame3), QStringLiteral("Command3"), kSystemChoice)->setVisible(false);
    auto* system =
        named(new QRadioButton(defaultWindowsColor(), frame3), QStringLiteral("Option3"), kSystemChoice);
    system->setAccessibleDescription(QStringLiteral("Buttons"));
    system->setGeometry(pixels(kSystemButtons));
    m_option3->addButton(system, kSystemChoice);
}

void Form4::buttonSample(QWidget* frame, int index)
{
    auto* sample = named(new QPushButton(frame), QStringLiteral("Command3"), index);
    const QColor c = fromWinColor(kButtonColors[index]);
    QPalette pal = sample->palette();
    pal.setColor(QPalette::Button, c);
    sample->setPalette(pal);
    // Flat, as the main windows draw their buttons: a style's shading would wash the colour out.
    sample->setStyleSheet(QStringLiteral("QPushButton { background-color: %1; border: 1px solid %2;"
                                         " border-radius: 3px; }"
                                         "QPushButton:pressed, QPushButton:focus { border: 2px solid %2; }")
                              .arg(c.name(), c.darker(220).name()));
    sample->setAccessibleName(QString::fromLatin1(kButtonNames[index]));
    sample->setGeometry(pixels(kButtonSample, index * kSlot));
    connect(sample, &QPushButton::clicked, this, [this, index] { Command3_Click(index); });
}

void Form4::buildOkCancel()
{
    auto* ok = named(new QPushButton(QStringLiteral("OK"), this), QStringLiteral("Command2"));
    ok->setDefault(true);
    ok->setGeometry(pixels(kOk));
    // Buttons of a dialog are auto-default: Enter presses the one with the focus, OK only from elsewhere.
    auto* cancel = named(new QPushButton(QStringLiteral("Cancel"), this), QStringLiteral("Command1"));
    cancel->setGeometry(pixels(kCancel));
    connect(ok, &QPushButton::clicked, this, &Form4::Command2_Click);
    connect(cancel, &QPushButton::clicked, this, &Form4::Command1_Click);
}

void Form4::load(const ColorChoice& stored)
{
    for (int k = 0; k < kSamples; ++k)
        paintBackgroundChoice(m_pictures[k], k);
    // A stored choice outside 0..6 leaves no background option selected.
    if (QAbstractButton* b = m_option2->button(stored.BackgroundIndex))
        b->setChecked(true);
    markColor(m_option1, kDigitColors, stored.DigitColor);
    markColor(m_option3, kButtonColors, stored.ButtonColor);
}

void Form4::Picture_Click(int picture)
{
    m_option2->button(picture - 1)->setChecked(true);
}

void Form4::Command3_Click(int index)
{
    m_option3->button(index)->setChecked(true);
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
    acceptWith(choice);
}

void Form4::Command1_Click()
{
    reject();
}

bool Form4::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        auto* mouse = static_cast<QMouseEvent*>(event);
        for (int k = 0; k < kSamples; ++k) {
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
