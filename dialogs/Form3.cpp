#include "dialogs/Form3.h"

#include "dialogs/DesignRect.h"
#include "platform/WindowSystem.h"
#include "shell/kit/Artwork.h"
#include "shell/kit/MessageBox.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace zentimo {

namespace {

const QString kZero = QStringLiteral("00");
constexpr int kLargestField = 99; // a countdown's fields go to 99 each
constexpr int kLastWakeHour = 12;
constexpr int kLastMinute = 59;

constexpr int kClientWidth = 3420; // twips
constexpr int kClientHeight = 1470;

constexpr DesignRect kLabel1{.left = 90, .top = 150, .width = 975, .height = 225};
constexpr DesignRect kCombo1{.left = 1140, .top = 90, .width = 2205, .height = 315};

struct ButtonDesign {
    const char* name;
    const char* text;
    DesignRect place;
};

constexpr ButtonDesign kButtons[] = {
    {.name = "Command1",
     .text = "Add currently displayed time as preset",
     .place = {.left = 90, .top = 480, .width = 3255, .height = 435}},
    {.name = "Command2",
     .text = "Delete selected",
     .place = {.left = 90, .top = 960, .width = 1245, .height = 435}},
    {.name = "Command3",
     .text = "Load selected",
     .place = {.left = 1380, .top = 960, .width = 1155, .height = 435}},
    {.name = "Command4", .text = "Close", .place = {.left = 2580, .top = 960, .width = 765, .height = 435}},
};

// Captions start at the designed 8 pt; the system's sans face can run too wide for the buttons, so it
// shrinks until every caption fits its button.
QFont fittedFont(const QList<QPushButton*>& buttons)
{
    constexpr double kDesignedPoints = 8;
    constexpr int kShrinkSteps = 20;
    constexpr double kShrink = 0.95;
    constexpr int kButtonFrame = 12; // pixels of a button that its caption cannot use
    QFont font = QApplication::font();
    font.setPointSizeF(kDesignedPoints);
    for (int step = 0; step < kShrinkSteps; ++step) {
        const QFontMetrics fm(font);
        bool fits = true;
        for (const QPushButton* b : buttons)
            fits = fits && fm.horizontalAdvance(b->text()) + kButtonFrame <= b->width();
        if (fits)
            break;
        font.setPointSizeF(font.pointSizeF() * kShrink);
    }
    return font;
}

// One or two ASCII digits, as a field shows them (with the leading zero); nothing otherwise.
std::optional<QString> twoDigitPart(const QString& part, int maximum)
{
    if (part.size() > 2 || !allDigits(part) || part.toInt() > maximum)
        return std::nullopt;
    return part.size() == 1 ? QLatin1Char('0') + part : part;
}

} // namespace

Form3::Form3(const PresetsStart& start, QWidget* owner) : ValueDialog(owner), m_start(start)
{
    build();
    setWindowTitle(m_start.wakeMode ? QStringLiteral("Presets - Wake Mode")
                                    : QStringLiteral("Presets - Countdown Mode"));
    m_combo1->addItems(m_start.presets);
    m_combo1->setCurrentIndex(m_combo1->count() - 1);
}

void Form3::build()
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Presets"));
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight));
    WindowSystem::current().keepOutOfTaskbar(this);

    m_label1 = new QLabel(QStringLiteral("Select preset:"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(pixels(kLabel1));

    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setAccessibleName(QStringLiteral("Select preset"));
    m_combo1->setEditable(false);
    m_combo1->setInsertPolicy(QComboBox::InsertAtBottom);
    m_combo1->setGeometry(pixels(kCombo1));
    m_label1->setBuddy(m_combo1);

    const QList<QPushButton*> buttons = buildButtons();
    const QFont font = fittedFont(buttons);
    m_label1->setFont(font);
    m_combo1->setFont(font);
    for (QPushButton* b : buttons)
        b->setFont(font);
    connectButtons();
}

QList<QPushButton*> Form3::buildButtons()
{
    QList<QPushButton*> buttons;
    for (const ButtonDesign& design : kButtons) {
        auto* b = new QPushButton(QString::fromLatin1(design.text), this);
        b->setObjectName(QString::fromLatin1(design.name));
        b->setGeometry(pixels(design.place));
        buttons << b;
    }
    m_command1 = buttons[0];
    m_command2 = buttons[1];
    m_command3 = buttons[2];
    m_command4 = buttons[3];
    m_command4->setDefault(true);
    return buttons;
}

void Form3::connectButtons()
{
    connect(m_command1, &QPushButton::clicked, this, &Form3::Command1_Click);
    connect(m_command2, &QPushButton::clicked, this, &Form3::Command2_Click);
    connect(m_command3, &QPushButton::clicked, this, &Form3::Command3_Click);
    connect(m_command4, &QPushButton::clicked, this, &Form3::Command4_Click);

    // Delete and Load need an item; the list's own changes keep them right, no polling.
    QAbstractItemModel* model = m_combo1->model();
    connect(model, &QAbstractItemModel::rowsInserted, this, &Form3::enableButtons);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &Form3::enableButtons);
    connect(model, &QAbstractItemModel::modelReset, this, &Form3::enableButtons);
    enableButtons();
}

void Form3::enableButtons()
{
    const bool any = m_combo1->count() > 0;
    m_command2->setEnabled(any);
    m_command3->setEnabled(any);
}

QStringList Form3::presets() const
{
    QStringList list;
    for (int i = 0; i < m_combo1->count(); ++i)
        list << m_combo1->itemText(i);
    return list;
}

void Form3::Command1_Click()
{
    const FieldTexts& t = m_start.shown;
    if (t.hours == kZero && t.minutes == kZero && t.seconds == kZero) {
        MessageBox::show(this,
                         QStringLiteral("Current time is set to 00:00:00. Please set a time other than this "
                                        "and try again."),
                         QStringLiteral("Oops!"), MessageBox::Icon::Exclamation);
        return;
    }
    m_combo1->addItem(clockText(t));
    m_combo1->setCurrentIndex(m_combo1->count() - 1);
}

void Form3::Command2_Click()
{
    if (m_combo1->currentIndex() < 0)
        return;
    if (MessageBox::show(this, QStringLiteral("Delete selected preset?"), QStringLiteral("Confirm"),
                         MessageBox::Icon::None, MessageBox::Buttons::YesNo) != MessageBox::Answer::Yes)
        return;
    m_combo1->removeItem(m_combo1->currentIndex());
    m_combo1->setCurrentIndex(m_combo1->count() - 1);
}

void Form3::Command3_Click()
{
    if (m_combo1->currentIndex() < 0)
        return;
    // A hand-edited store can hold anything; cutting it at fixed places would put junk into the fields.
    const std::optional<FieldTexts> time = parsePreset(m_combo1->currentText(), m_start.wakeMode);
    if (!time) {
        MessageBox::show(this,
                         QStringLiteral("The selected preset is not a valid time. Please select another "
                                        "preset or delete this one."),
                         QStringLiteral("Oops!"), MessageBox::Icon::Exclamation);
        return;
    }
    acceptWith({.presets = presets(), .load = time});
}

void Form3::Command4_Click()
{
    acceptWith({.presets = presets(), .load = std::nullopt});
}

std::optional<FieldTexts> Form3::parsePreset(const QString& record, bool wakeMode)
{
    const QStringList parts = record.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 3)
        return std::nullopt;
    const auto hours = twoDigitPart(parts[0], wakeMode ? kLastWakeHour : kLargestField);
    const auto minutes = twoDigitPart(parts[1], wakeMode ? kLastMinute : kLargestField);
    if (!hours || !minutes)
        return std::nullopt;
    if (wakeMode) {
        const QString letter = parts[2].toLower();
        if (letter != QLatin1String("a") && letter != QLatin1String("p"))
            return std::nullopt;
        return FieldTexts{*hours, *minutes, letter};
    }
    const auto seconds = twoDigitPart(parts[2], kLargestField);
    if (!seconds)
        return std::nullopt;
    return FieldTexts{*hours, *minutes, *seconds};
}

} // namespace zentimo
