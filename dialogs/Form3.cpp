#include "dialogs/Form3.h"

#include "platform/WindowSystem.h"
#include "shell/kit/Artwork.h"
#include "shell/kit/MessageBox.h"
#include "shell/kit/Twips.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>

namespace zentimo {

namespace {

const QString kWakeSection = QStringLiteral("Wake Presets");
const QString kCountdownSection = QStringLiteral("Countdown Presets");
const QString kZero = QStringLiteral("00");

// Captions start at 8 pt; the system's sans face can run too wide for the buttons, so it shrinks until
// every caption fits its button.
QFont fittedFont(const QList<QPushButton*>& buttons)
{
    QFont font = QApplication::font();
    font.setPointSizeF(8);
    for (int i = 0; i < 20; ++i) {
        const QFontMetrics fm(font);
        bool fits = true;
        for (const QPushButton* b : buttons)
            fits = fits && fm.horizontalAdvance(b->text()) + 12 <= b->width();
        if (fits)
            break;
        font.setPointSizeF(font.pointSizeF() * 0.95);
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

Form3::Form3(Face& fields, bool wakeMode, QWidget* owner) : QDialog(owner), m_fields(fields)
{
    build();
    m_settings = zentimoSettings();
    m_wakeMode = wakeMode;
    if (m_wakeMode) {
        setWindowTitle(QStringLiteral("Presets - Wake Mode"));
        m_section = kWakeSection;
    } else {
        setWindowTitle(QStringLiteral("Presets - Countdown Mode"));
        m_section = kCountdownSection;
    }
    readList();
}

void Form3::build()
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Presets"));
    setWindowIcon(programIcon());
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twipsToPixels(3420), twipsToPixels(1470));
    WindowSystem::current().keepOutOfTaskbar(this);

    m_label1 = new QLabel(QStringLiteral("Select preset:"), this);
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setGeometry(twipsRect(90, 150, 975, 225));

    m_combo1 = new QComboBox(this);
    m_combo1->setObjectName(QStringLiteral("Combo1"));
    m_combo1->setAccessibleName(QStringLiteral("Select preset"));
    m_combo1->setEditable(false);
    m_combo1->setInsertPolicy(QComboBox::InsertAtBottom);
    m_combo1->setGeometry(twipsRect(1140, 90, 2205, 315));
    m_label1->setBuddy(m_combo1);

    auto button = [this](const char* name, const QString& text, const QRect& rect) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(rect);
        return b;
    };
    m_command1 = button("Command1", QStringLiteral("Add currently displayed time as preset"),
                        twipsRect(90, 480, 3255, 435));
    m_command2 = button("Command2", QStringLiteral("Delete selected"), twipsRect(90, 960, 1245, 435));
    m_command3 = button("Command3", QStringLiteral("Load selected"), twipsRect(1380, 960, 1155, 435));
    m_command4 = button("Command4", QStringLiteral("Close"), twipsRect(2580, 960, 765, 435));
    m_command4->setDefault(true);

    const QFont font = fittedFont({m_command1, m_command2, m_command3, m_command4});
    for (QWidget* w : {static_cast<QWidget*>(m_label1), static_cast<QWidget*>(m_combo1),
                       static_cast<QWidget*>(m_command1), static_cast<QWidget*>(m_command2),
                       static_cast<QWidget*>(m_command3), static_cast<QWidget*>(m_command4)})
        w->setFont(font);

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

void Form3::readList()
{
    for (const auto& [name, value] : m_settings.GetAllOptions(m_section))
        m_combo1->addItem(value);
    m_combo1->setCurrentIndex(m_combo1->count() - 1);
}

void Form3::saveList()
{
    // One write: a crash leaves the old list or the new one, never a part of it.
    SettingPairs list;
    for (int i = 0; i < m_combo1->count(); ++i)
        list.append({QStringLiteral("Preset%1").arg(i), m_combo1->itemText(i)});
    m_settings.ReplaceSection(m_section, list);
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
    const QString hours = m_fields.fieldText(TimeField::Hours);
    const QString minutes = m_fields.fieldText(TimeField::Minutes);
    const QString third = m_fields.fieldText(TimeField::Seconds);
    if (hours == kZero && minutes == kZero && third == kZero) {
        MessageBox::show(this,
                         QStringLiteral("Current time is set to 00:00:00. Please set a time other than this "
                                        "and try again."),
                         QStringLiteral("Oops!"), MessageBox::Icon::Exclamation);
        return;
    }
    m_combo1->addItem(clockText({hours, minutes, third}));
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
    const std::optional<FieldTexts> time = parsePreset(m_combo1->currentText(), m_wakeMode);
    if (!time) {
        MessageBox::show(this,
                         QStringLiteral("The selected preset is not a valid time. Please select another "
                                        "preset or delete this one."),
                         QStringLiteral("Oops!"), MessageBox::Icon::Exclamation);
        return;
    }
    // Through the fields' change handling, so the spinners and the big window follow.
    m_fields.setFieldText(TimeField::Hours, time->hours);
    m_fields.setFieldText(TimeField::Minutes, time->minutes);
    m_fields.setFieldText(TimeField::Seconds, time->seconds);
    saveList();
    accept();
}

void Form3::Command4_Click()
{
    saveList();
    accept();
}

std::optional<FieldTexts> Form3::parsePreset(const QString& record, bool wakeMode)
{
    const QStringList parts = record.trimmed().split(QLatin1Char(':'));
    if (parts.size() != 3)
        return std::nullopt;
    const auto hours = twoDigitPart(parts[0], wakeMode ? 12 : 99);
    const auto minutes = twoDigitPart(parts[1], wakeMode ? 59 : 99);
    if (!hours || !minutes)
        return std::nullopt;
    if (wakeMode) {
        const QString letter = parts[2].toLower();
        if (letter != QLatin1String("a") && letter != QLatin1String("p"))
            return std::nullopt;
        return FieldTexts{*hours, *minutes, letter};
    }
    const auto seconds = twoDigitPart(parts[2], 99);
    if (!seconds)
        return std::nullopt;
    return FieldTexts{*hours, *minutes, *seconds};
}

} // namespace zentimo
