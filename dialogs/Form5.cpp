#include "dialogs/Form5.h"

#include "dialogs/Form4.h"
#include "shell/kit/MessageBox.h"
#include "shell/kit/Twips.h"
#include "sound/SoundPlayer.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

namespace zentimo {

namespace {

constexpr int kClientWidth = 7740; // twips
constexpr int kClientHeight = 5610;

// The dialog was drawn for an 8 point sans-serif face.
constexpr double kDesignedPoints = 8;
// Pixels.
constexpr QMargins kDialogMargins(8, 6, 8, 8);
constexpr QMargins kFrameMargins(8, 4, 8, 6);
constexpr int kFrameSpacing = 4;
constexpr int kAboveButtons = 6;

const QString kSoundFilter = QStringLiteral("Sound Files (*.mp3, *.wav, *.mid)|*.mp3;*.wav;*.mid");

// Indices of the control arrays, as designed.
constexpr int kCountdown = 0, kWake = 1, kStopwatch = 2;          // Option3
constexpr int kBig = 0, kSmall = 1;                               // Option1
constexpr int kLoop = 0, kPlayOnce = 1;                           // Option2
constexpr int kBuiltIn = 0, kFile = 1;                            // Option4
constexpr int kSoundFrame = 0, kMessageFrame = 1, kSizeFrame = 2; // Frame
constexpr int kLastBackground = 6;                                // "Default Windows color"

bool hasCaption(const QObject* object)
{
    const auto* frame = qobject_cast<const QGroupBox*>(object);
    return frame && !frame->title().isEmpty();
}

// Qt lets a frame's caption label everything inside it, frames with captions of their own too: a screen
// reader then names the Message frame "Alarm Options:". Here a frame with a caption is labelled by it alone.
class AccessibleFrame : public QAccessibleWidget {
public:
    explicit AccessibleFrame(QGroupBox* frame) : QAccessibleWidget(frame, QAccessible::Grouping) {}

    // Not the frame around it, which Qt would take for a frame's name too.
    QString text(QAccessible::Text t) const override
    {
        if (t != QAccessible::Name || !widget()->accessibleName().isEmpty())
            return QAccessibleWidget::text(t);
        return static_cast<QGroupBox*>(widget())->title().remove(QLatin1Char('&'));
    }

    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        auto found = QAccessibleWidget::relations(match);
        if (!hasCaption(widget()))
            return found;
        found.removeIf([](const auto& r) {
            return r.second == QAccessible::Label && r.first && hasCaption(r.first->object());
        });
        if (match & QAccessible::Labelled) {
            for (QObject* child : widget()->children()) {
                auto* w = qobject_cast<QWidget*>(child);
                if (w && !w->isWindow() && !hasCaption(w))
                    found.append({QAccessible::queryAccessibleInterface(w), QAccessible::Labelled});
            }
        }
        return found;
    }
};

QAccessibleInterface* frameFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("QGroupBox"))
        return new AccessibleFrame(static_cast<QGroupBox*>(object));
    return nullptr;
}

template <class W> W* named(W* widget, const char* name, int index = -1)
{
    widget->setObjectName(QString::fromLatin1(name));
    if (index >= 0)
        widget->setProperty("index", index);
    return widget;
}

} // namespace

const QString Form5::kNoneSelected = QStringLiteral("None Selected");

Form5::Form5(const Options& current, const ColorChoice& storedColors, SoundPlayer& sound, QWidget* owner)
    : ValueDialog(owner), m_current(current), m_storedColors(storedColors), m_sound(sound)
{
    build();
    load();
}

Form5::~Form5() = default;

void Form5::build()
{
    static const bool framesNamed = (QAccessible::installFactory(frameFactory), true);
    Q_UNUSED(framesNamed);
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral("Options"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(twipsToPixels(kClientWidth), twipsToPixels(kClientHeight));
    QFont small = QApplication::font();
    small.setPointSizeF(kDesignedPoints);
    setFont(small);

    QGroupBox* frame1 = buildAlarmFrame();
    QGroupBox* frame5 = buildModeFrame();
    QGroupBox* frame2 = buildWindowFrame();
    QLayout* buttons = buildDoneCancel();

    auto* rightColumn = new QVBoxLayout;
    rightColumn->addWidget(frame5, 1);
    rightColumn->addWidget(frame2, 1);
    rightColumn->addSpacing(kAboveButtons);
    rightColumn->addLayout(buttons);

    auto* top = new QHBoxLayout(this);
    top->setContentsMargins(kDialogMargins);
    top->addWidget(frame1, 1);
    top->addLayout(rightColumn);

    for (QPushButton* b : {m_command6, m_command1, m_command2})
        b->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    for (QGroupBox* frame : findChildren<QGroupBox*>()) {
        frame->layout()->setContentsMargins(kFrameMargins);
        frame->layout()->setSpacing(kFrameSpacing);
    }
    connectHandlers();
}

// "Alarm Options:": the message above the sound.
QGroupBox* Form5::buildAlarmFrame()
{
    auto* frame1 = named(new QGroupBox(QStringLiteral("Alarm Options:"), this), "Frame1");
    QGroupBox* frameMessage = buildMessageFrame(frame1);
    QGroupBox* frameSound = buildSoundFrame(frame1);
    auto* alarmColumn = new QVBoxLayout(frame1);
    alarmColumn->addWidget(frameMessage);
    alarmColumn->addWidget(frameSound, 1);
    return frame1;
}

QGroupBox* Form5::buildMessageFrame(QWidget* frame1)
{
    auto* frameMessage = named(new QGroupBox(QStringLiteral("Message:"), frame1), "Frame", kMessageFrame);
    m_checkalmmsg = named(new QCheckBox(QStringLiteral("Show Message"), frameMessage), "Checkalmmsg");
    auto* label4 = named(new QLabel(QStringLiteral("Message Text:"), frameMessage), "label4");
    m_txtalmmsg = named(new QLineEdit(frameMessage), "txtalmmsg");
    label4->setBuddy(m_txtalmmsg);
    m_txtalmmsg->setAccessibleName(QStringLiteral("Message text"));
    auto* messageGrid = new QGridLayout(frameMessage);
    messageGrid->addWidget(m_checkalmmsg, 0, 0, 1, 2);
    messageGrid->addWidget(label4, 1, 0);
    messageGrid->addWidget(m_txtalmmsg, 1, 1);
    return frameMessage;
}

// "Sound:": whether and how often, then the two sources.
QGroupBox* Form5::buildSoundFrame(QWidget* frame1)
{
    auto* frameSound = named(new QGroupBox(QStringLiteral("Sound:"), frame1), "Frame", kSoundFrame);
    m_check2 = named(new QCheckBox(QStringLiteral("Play Sound"), frameSound), "Check2");
    m_option2[kLoop] = named(new QRadioButton(QStringLiteral("Loop"), frameSound), "Option2", kLoop);
    m_option2[kPlayOnce] =
        named(new QRadioButton(QStringLiteral("Play once"), frameSound), "Option2", kPlayOnce);
    QGroupBox* frame7 = buildBuiltInFrame(frameSound);
    QGroupBox* frame6 = buildFileFrame(frameSound);

    // The two source buttons sit in different frames; the group keeps them exclusive.
    m_option4Group = new QButtonGroup(this);
    m_option4Group->addButton(m_option4[kBuiltIn], kBuiltIn);
    m_option4Group->addButton(m_option4[kFile], kFile);

    auto* soundGrid = new QGridLayout(frameSound);
    auto* soundRow = new QHBoxLayout;
    soundRow->addWidget(m_check2);
    soundRow->addStretch(1);
    soundRow->addWidget(m_option2[kLoop]);
    soundRow->addWidget(m_option2[kPlayOnce]);
    soundGrid->addLayout(soundRow, 0, 0);
    soundGrid->addWidget(frame7, 1, 0);
    soundGrid->addWidget(frame6, 2, 0);
    return frameSound;
}

QGroupBox* Form5::buildBuiltInFrame(QWidget* frameSound)
{
    auto* frame7 = named(new QGroupBox(frameSound), "Frame7");
    m_option4[kBuiltIn] = named(new QRadioButton(QStringLiteral("Built-in"), frame7), "Option4", kBuiltIn);
    m_label3 = named(new QLabel(QStringLiteral("Select:"), frame7), "Label3");
    m_combo1 = named(new QComboBox(frame7), "Combo1");
    const QStringList names = SoundPlayer::builtInNames();
    for (int p = 0; p < names.size(); ++p)
        m_combo1->addItem(names[p], SoundPlayer::kFirstBuiltIn + p);
    m_combo1->setAccessibleName(QStringLiteral("Built-in sound"));
    m_combo1->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_combo1->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_label3->setBuddy(m_combo1);
    m_command6 = named(new QPushButton(QStringLiteral("Test"), frame7), "Command6");
    m_command6->setAccessibleName(QStringLiteral("Test built-in sound"));
    auto* builtInGrid = new QGridLayout(frame7);
    builtInGrid->addWidget(m_option4[kBuiltIn], 0, 0, 1, 2);
    builtInGrid->addWidget(m_command6, 0, 2);
    builtInGrid->addWidget(m_label3, 1, 0);
    builtInGrid->addWidget(m_combo1, 1, 1, 1, 2);
    builtInGrid->setColumnStretch(1, 1);
    return frame7;
}

QGroupBox* Form5::buildFileFrame(QWidget* frameSound)
{
    auto* frame6 = named(new QGroupBox(frameSound), "Frame6");
    m_option4[kFile] = named(new QRadioButton(QStringLiteral("File"), frame6), "Option4", kFile);
    m_label2 = named(new QLabel(QStringLiteral("Currently Selected File:"), frame6), "Label2");
    m_label1 = named(new QLabel(kNoneSelected, frame6), "Label1");
    m_label1->setAccessibleDescription(QStringLiteral("Currently selected file"));
    // Long paths are drawn shortened in the middle (eventFilter); the label's text stays the whole path.
    m_label1->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_label1->setMouseTracking(true);
    m_label1->installEventFilter(this);
    m_command1 = named(new QPushButton(QStringLiteral("Test"), frame6), "Command1");
    m_command1->setAccessibleDescription(QStringLiteral("Test sound file"));
    m_command2 = named(new QPushButton(QStringLiteral("Select"), frame6), "Command2");
    m_command2->setAccessibleDescription(QStringLiteral("Select sound file"));
    auto* fileGrid = new QGridLayout(frame6);
    fileGrid->addWidget(m_option4[kFile], 0, 0);
    fileGrid->addWidget(m_command1, 0, 1);
    fileGrid->addWidget(m_command2, 0, 2);
    fileGrid->addWidget(m_label2, 1, 0, 1, 3);
    fileGrid->addWidget(m_label1, 2, 0, 1, 3);
    fileGrid->setColumnStretch(0, 1);
    return frame6;
}

QGroupBox* Form5::buildModeFrame()
{
    auto* frame5 = named(new QGroupBox(QStringLiteral("Mode:"), this), "Frame5");
    const char* const modes[] = {"Countdown", "Wake", "Stopwatch"}; // kCountdown, kWake, kStopwatch
    auto* modeGrid = new QGridLayout(frame5);
    for (int i = 0; i < int(m_option3.size()); ++i) {
        m_option3[i] = named(new QRadioButton(QString::fromLatin1(modes[i]), frame5), "Option3", i);
        modeGrid->addWidget(m_option3[i], i, 0);
    }
    m_check3 = named(new QCheckBox(QStringLiteral("Auto restart"), frame5), "Check3");
    modeGrid->addWidget(m_check3, 0, 1);
    modeGrid->setColumnStretch(1, 1);
    return frame5;
}

// "Window:": colours, size, on top.
QGroupBox* Form5::buildWindowFrame()
{
    auto* frame2 = named(new QGroupBox(QStringLiteral("Window:"), this), "Frame2");
    auto* frame3 = named(new QGroupBox(QStringLiteral("Colors:"), frame2), "Frame3");
    m_command3 = named(new QPushButton(QStringLiteral("Select"), frame3), "Command3");
    m_command3->setAccessibleDescription(QStringLiteral("Select colors"));
    auto* colorsBox = new QVBoxLayout(frame3);
    colorsBox->addStretch(1);
    colorsBox->addWidget(m_command3);
    colorsBox->addStretch(1);
    auto* frameSize = named(new QGroupBox(QStringLiteral("Size:"), frame2), "Frame", kSizeFrame);
    m_option1[kBig] = named(new QRadioButton(QStringLiteral("Big"), frameSize), "Option1", kBig);
    m_option1[kSmall] = named(new QRadioButton(QStringLiteral("Small"), frameSize), "Option1", kSmall);
    auto* sizeBox = new QVBoxLayout(frameSize);
    sizeBox->addWidget(m_option1[kBig]);
    sizeBox->addWidget(m_option1[kSmall]);
    m_check1 = named(new QCheckBox(QStringLiteral("Keep window on top of all others."), frame2), "Check1");
    auto* windowGrid = new QGridLayout(frame2);
    windowGrid->addWidget(frame3, 0, 0);
    windowGrid->addWidget(frameSize, 0, 1);
    windowGrid->addWidget(m_check1, 1, 0, 1, 2);
    return frame2;
}

QLayout* Form5::buildDoneCancel()
{
    m_command4 = named(new QPushButton(QStringLiteral("Done"), this), "Command4");
    m_command4->setDefault(true);
    m_command5 = named(new QPushButton(QStringLiteral("Cancel"), this), "Command5");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_command4);
    buttons->addWidget(m_command5);
    return buttons;
}

void Form5::connectHandlers()
{
    for (int i = 0; i < int(m_option3.size()); ++i) {
        connect(m_option3[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option3_Click(i);
        });
    }
    connect(m_check3, &QCheckBox::toggled, this, &Form5::Check3_Click);
    for (int i = 0; i < int(m_option2.size()); ++i) {
        connect(m_option2[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on)
                Option2_Click(i);
        });
    }
    connect(m_checkalmmsg, &QCheckBox::toggled, this, &Form5::Checkalmmsg_Click);
    connect(m_option4Group, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (on)
            Option4_Click(id);
    });
    connect(m_command6, &QPushButton::clicked, this, &Form5::Command6_Click);
    connect(m_command1, &QPushButton::clicked, this, &Form5::Command1_Click);
    // "Stop" only while something plays: a file played to its end gives back "Test".
    m_sound.backend().onEnded(this, [this] {
        if (m_command1->text() == QLatin1String("Stop") && !m_sound.isPlaying()) {
            m_command1->setText(QStringLiteral("Test"));
        }
    });
    connect(m_command2, &QPushButton::clicked, this, &Form5::Command2_Click);
    connect(m_command3, &QPushButton::clicked, this, &Form5::Command3_Click);
    connect(m_command4, &QPushButton::clicked, this, &Form5::Command4_Click);
    connect(m_command5, &QPushButton::clicked, this, &Form5::Command5_Click);
}

void Form5::load()
{
    loadSoundSource();
    loadChoices();
    m_newColors = ColorChoice{};
    m_check1->setChecked(m_current.OnTop);
    m_check2->setChecked(m_current.SoundOn);
    m_check3->setEnabled(m_option3[kCountdown]->isChecked());

    m_checkalmmsg->setChecked(m_current.ShowMessage);
    if (m_current.ShowMessage)
        m_txtalmmsg->setText(m_current.AlarmMessage);
    m_txtalmmsg->setEnabled(m_current.ShowMessage);
}

void Form5::loadSoundSource()
{
    const Options& o = m_current;
    if (!o.SoundFile.isEmpty() && !o.UseBuiltIn) {
        m_label1->setText(o.SoundFile);
        LoadSound(o.SoundFile);
    } else {
        m_label1->setText(kNoneSelected);
    }
}

// Mode, size, repeat and sound, in this order: the interlocks see the earlier ones.
void Form5::loadChoices()
{
    const Options& o = m_current;
    // In this order, so that Stopwatch wins over the others.
    if (!o.WakeMode)
        m_option3[kCountdown]->setChecked(true);
    if (o.WakeMode)
        m_option3[kWake]->setChecked(true);
    if (o.StopwatchMode)
        m_option3[kStopwatch]->setChecked(true);

    if (o.BigWindow == 1)
        m_option1[kBig]->setChecked(true);
    if (o.BigWindow == 0)
        m_option1[kSmall]->setChecked(true);

    m_option2[o.LoopSound ? kLoop : kPlayOnce]->setChecked(true);
    Option4_Click(o.UseBuiltIn ? kBuiltIn : kFile);

    m_combo1->setCurrentIndex(m_combo1->findData(o.BuiltInSound));

    // Stored settings may combine auto restart with "Loop": the interlock speaks up here.
    m_check3->setChecked(o.AutoRestart);
}

QWidget* Form5::messageParent()
{
    // Boxes raised while the dialog loads belong to the window that opened it.
    return isVisible() ? this : parentWidget();
}

QString Form5::LoadSound(const QString& path)
{
    FileError error;
    const QString contents = SoundPlayer::LoadSound(path, &error);
    reportFileError(error);
    return contents;
}

void Form5::reportFileError(const FileError& error)
{
    if (error.number != 0) {
        MessageBox::show(messageParent(),
                         error.description + QStringLiteral("\r\nError Number: ") +
                             QString::number(error.number),
                         kAppTitle);
    }
}

QString Form5::qtFileFilter(const QString& filter)
{
    QStringList parts = filter.split(QLatin1Char('|'));
    if (!parts.isEmpty() && parts.last().isEmpty())
        parts.removeLast();
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts[i].trimmed();
        // The description may already name its patterns; Qt reads them from the parentheses.
        if (const qsizetype open = description.lastIndexOf(QLatin1Char('('));
            open > 0 && description.endsWith(')'))
            description = description.left(open).trimmed();
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (QString& p : patterns)
            p = p.trimmed();
        filters << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

QString Form5::ShowOpenFileDialog(QWidget* owner, const QString& filter, const QString& title,
                                  const QString& initialFolder)
{
    return FileDialog::getOpenFileName(owner, title, initialFolder, qtFileFilter(filter));
}

// ---- Interlocks --------------------------------------------------------------------------------------

void Form5::Option3_Click(int index)
{
    if (index == kWake)
        m_check3->setChecked(false);
    m_check3->setEnabled(index == kCountdown);
}

void Form5::Check3_Click()
{
    if (m_check3->isChecked() && m_option2[kLoop]->isChecked()) {
        MessageBox::show(messageParent(),
                         QStringLiteral("Auto restart can only be used if \"Play once\" is selected in the "
                                        "\"Alarm sound file\" options."),
                         kAppTitle);
        m_check3->setChecked(false);
    }
}

void Form5::Option2_Click(int /*index*/)
{
    if (m_check3->isChecked() && m_option2[kLoop]->isChecked()) {
        MessageBox::show(
            messageParent(),
            QStringLiteral("You must select \"Play once\" if you also wish to use the \"Auto restart\" "
                           "feature."),
            kAppTitle);
        m_option2[kPlayOnce]->setChecked(true);
    }
}

void Form5::Checkalmmsg_Click()
{
    m_txtalmmsg->setEnabled(m_checkalmmsg->isChecked());
}

void Form5::Option4_Click(int index)
{
    m_option4[index]->setChecked(true);
    const bool builtIn = index == kBuiltIn;
    for (QWidget* w : {static_cast<QWidget*>(m_label3), static_cast<QWidget*>(m_combo1),
                       static_cast<QWidget*>(m_command6)})
        w->setEnabled(builtIn);
    for (QWidget* w : {static_cast<QWidget*>(m_label1), static_cast<QWidget*>(m_label2),
                       static_cast<QWidget*>(m_command1), static_cast<QWidget*>(m_command2)})
        w->setEnabled(!builtIn);
}

// ---- Buttons -----------------------------------------------------------------------------------------

void Form5::Command6_Click()
{
    // No entry is selected only when the stored sound id is unknown: there is nothing to play then.
    if (m_combo1->currentIndex() < 0)
        return;
    m_sound.PlayBuiltInOnce(m_combo1->currentData().toInt());
}

void Form5::Command1_Click()
{
    SoundPlayer& sound = m_sound;
    if (m_command1->text() != QLatin1String("Stop")) {
        const QString path = m_label1->text();
        if (SoundPlayer::kindOf(path) == SoundPlayer::FileKind::Unknown)
            return;
        // A file that cannot be opened is named, and the fallback sound plays in its place.
        reportFileError(SoundPlayer::CheckFile(path));
        // A .wav test loops until "Stop"; a file of no known kind plays nothing.
        if (!sound.PlayFile(path, true))
            return;
        m_command1->setText(QStringLiteral("Stop"));
    } else {
        sound.StopWaveform();
        sound.CloseDevice();
        m_command1->setText(QStringLiteral("Test"));
    }
}

void Form5::Command2_Click()
{
    const QString path = ShowOpenFileDialog(this, kSoundFilter, QStringLiteral("Select Sound File..."),
                                            QCoreApplication::applicationDirPath());
    if (!path.isEmpty())
        m_label1->setText(path);
}

void Form5::Command3_Click()
{
    Form4 colors(m_storedColors, this);
    // Cancel drops every colour choice of this visit, also those of an earlier "OK".
    m_newColors = colors.run().value_or(ColorChoice{});
}

void Form5::Command4_Click()
{
    if (!missingSomething())
        acceptWith(edited());
}

// Says what "Done" cannot go without and puts the focus there.
bool Form5::missingSomething()
{
    if (m_checkalmmsg->isChecked() && m_txtalmmsg->text().isEmpty()) {
        MessageBox::show(
            this,
            QStringLiteral("You have selected to show a message when the alarm sounds but have not "
                           "specified a message. Please enter a message to be displayed or uncheck "
                           "\"Show Message\"."),
            QStringLiteral("Oops!"), MessageBox::Icon::Exclamation);
        m_txtalmmsg->setFocus();
        return true;
    }
    if (m_option4[kFile]->isChecked() && m_label1->text() == kNoneSelected) {
        MessageBox::show(
            this,
            QStringLiteral("You've selected to use a sound file for the alarm but have not selected "
                           "a file. Please select a file or choose a built-in sound instead."),
            QStringLiteral("Oops!"), MessageBox::Icon::Exclamation);
        m_command2->setFocus();
        return true;
    }
    return false;
}

OptionsChange Form5::edited() const
{
    OptionsChange change{m_current};
    Options& o = change.options;
    o.LoopSound = m_option2[kLoop]->isChecked();
    o.AutoRestart = m_check3->isChecked();
    o.OnTop = m_check1->isChecked();
    o.WakeMode = m_option3[kWake]->isChecked();
    o.StopwatchMode = m_option3[kStopwatch]->isChecked();
    o.BigWindow = m_option1[kBig]->isChecked() ? 1 : 0;
    if (const int background = m_newColors.BackgroundIndex;
        background >= 0 && background <= kLastBackground) {
        o.BackgroundColor = background;
        change.backgroundChosen = true;
    }
    if (m_newColors.DigitColor != -1)
        o.DigitColor = QString::number(m_newColors.DigitColor);
    if (m_newColors.ButtonColor != -1) {
        o.ButtonColor = static_cast<std::uint32_t>(m_newColors.ButtonColor);
        change.buttonColorChosen = true;
    }
    if (m_label1->text() != kNoneSelected) {
        o.SoundFile = m_label1->text();
        change.soundFileShown = true;
    }
    o.SoundOn = m_check2->isChecked();
    // An unknown stored sound id selects no entry; the id then stays as it was.
    if (m_combo1->currentIndex() >= 0)
        o.BuiltInSound = m_combo1->currentData().toInt();
    o.UseBuiltIn = m_option4[kBuiltIn]->isChecked();
    o.ShowMessage = m_checkalmmsg->isChecked();
    o.AlarmMessage = m_txtalmmsg->text();
    return change;
}

void Form5::Command5_Click()
{
    reject();
}

void Form5::done(int result)
{
    // Every way out (Done, Cancel, Esc, the close box) ends a test sound that is still playing.
    if (!m_unloaded && m_sound.SoundPlaying()) {
        m_sound.CloseDevice();
        m_sound.StopWaveform();
    }
    m_unloaded = true;
    QDialog::done(result);
}

bool Form5::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_label1) {
        if (event->type() == QEvent::MouseMove) {
            m_label1->setToolTip(m_label1->text());
        } else if (event->type() == QEvent::Paint) {
            QPainter painter(m_label1);
            const QRect area = m_label1->contentsRect();
            const QString shown =
                m_label1->fontMetrics().elidedText(m_label1->text(), Qt::ElideMiddle, area.width());
            m_label1->style()->drawItemText(&painter, area, int(m_label1->alignment()), m_label1->palette(),
                                            m_label1->isEnabled(), shown, QPalette::WindowText);
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace zentimo
