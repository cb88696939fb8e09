#include "shell/MainWindow.h"

#include "engine/Engine.h"
#include "platform/WindowSystem.h"
#include "settings/Catalogue.h"
#include "shell/Accessibility.h"
#include "shell/UpDown.h"
#include "shell/kit/Artwork.h"
#include "shell/kit/DigitFont.h"
#include "shell/kit/GradientMod.h"
#include "shell/kit/Twips.h"
#include "shell/kit/WinColor.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStatusBar>

namespace zentimo {

namespace {

const char* const kFieldNames[3] = {"Label2", "Label1", "Label3"};
const char* const kSpinnerNames[3] = {"UpDown2", "UpDown1", "UpDown3"};
const char* const kFieldAccessible[3] = {"Hours", "Minutes", "Seconds"};
constexpr Cmd kAllCmds[] = {Cmd::Start, Cmd::Reset, Cmd::Options, Cmd::Help,
                            Cmd::Tray,  Cmd::About, Cmd::Presets};
// In the order of kAllCmds.
const char* const kButtonCaptions[7] = {"Start", "Reset", "Options", "Help", "Tray", "About", "Presets"};
constexpr StatusPanel kAllPanels[] = {StatusPanel::Mode, StatusPanel::RunState};
constexpr std::uint32_t kCaptionColor = 0x00400040;
// Focus starts on the first enabled button of the tab order; the fields and spinners follow them.
constexpr Cmd kButtonTabOrder[7] = {Cmd::Start, Cmd::Options, Cmd::Presets, Cmd::Help,
                                    Cmd::Reset, Cmd::Tray,    Cmd::About};

int index(TimeField f)
{
    return int(f);
}

// Where a button's or a panel's entry sits in arrays that start at Command1 and Panel1.
int slot(Cmd c)
{
    return int(c) - 1;
}

int slot(StatusPanel p)
{
    return int(p) - 1;
}

void place(QWidget* w, const TwipsRect& r)
{
    w->setGeometry(twipsRect(r.left, r.top, r.width, r.height));
}

QFont sansFont(double points, bool bold = false)
{
    QFont font = QApplication::font();
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// The ASCII code a keystroke types, as the field's key filter sees it; -1 for keys that type nothing
// (arrows, Delete, Tab), which the filter never sees.
int typedCode(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Backspace:
        return kBackspace;
    case Qt::Key_Delete: // X11 gives it the text "\x7f"
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return -1; // focus moves and the default button are the window's, not typing
    default:
        break;
    }
    if (event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Cut) ||
        event->matches(QKeySequence::Paste))
        return 0;
    if ((event->modifiers() & Qt::ControlModifier) && event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z)
        return event->key() - Qt::Key_A + 1;
    const QString text = event->text();
    if (text.isEmpty())
        return -1;
    const char16_t c = text.at(0).unicode();
    return c < 128 ? int(c) : 0;
}

bool isEnter(const QKeyEvent* event)
{
    return event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
}

// Buttons show their colour flat, as graphical buttons do: a style's shading would wash the alarm's
// flashing red out to pink, and the style's focus mark tints the whole face, so the focus shows as a
// thicker border instead. The system face colour keeps the style's own look.
void paintButton(QPushButton* button, std::uint32_t color)
{
    const QColor c = fromWinColor(color);
    // Dropping a style sheet brings back the palette from before it, so it goes before the palette is set.
    if (isSystemColor(color))
        button->setStyleSheet(QString());
    QPalette pal = button->palette();
    pal.setColor(QPalette::Button, c);
    button->setPalette(pal);
    if (isSystemColor(color))
        return;
    button->setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: black; border: 1px solid %2;"
                       " border-radius: 3px; padding: 1px; outline: none; }"
                       "QPushButton:pressed { background-color: %3; }"
                       "QPushButton:disabled { color: %4; }"
                       "QPushButton:focus { border: 2px solid %2; }")
            .arg(c.name(), c.darker(220).name(), c.darker(125).name(), c.darker(170).name()));
}

} // namespace

MainWindow::MainWindow(Engine& engine, const MainLayout& layout, QWidget* parent)
    : QWidget(parent, Qt::Window), m_engine(engine), m_layout(layout)
{
    build();
}

MainWindow::~MainWindow() = default;

void MainWindow::build()
{
    installAccessibleRoles();
    setObjectName(QString::fromLatin1(m_layout.formName));
    setWindowTitle(kAppTitle);
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(twipsToPixels(m_layout.clientWidth), twipsToPixels(m_layout.clientHeight));
    setAutoFillBackground(true);
    buildCaptions();
    buildFields();
    setDigitColor(Catalogue::defaultColor(OptionKey::DigitColor));
    buildButtons();
    buildStatusBar();
    orderTabs();
}

void MainWindow::buildCaptions()
{
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(QString::fromLatin1(m_layout.captionTexts[i]), this);
        label->setObjectName(QString::fromLatin1(m_layout.captionNames[i]));
        label->setFont(sansFont(m_layout.captionPoints));
        QPalette pal = label->palette();
        pal.setColor(QPalette::WindowText, fromWinColor(kCaptionColor));
        label->setPalette(pal);
        place(label, m_layout.captions[i]);
        m_captions[i] = label;
    }
    for (int i = 0; i < 2; ++i) {
        auto* colon = new QLabel(QStringLiteral(":"), this);
        colon->setObjectName(QString::fromLatin1(m_layout.colonNames[i]));
        colon->setFont(sansFont(m_layout.colonPoints, true));
        // Right-aligned: on the big window the spinner at the field's edge covers the label's left part.
        colon->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        place(colon, m_layout.colons[i]);
    }
}

void MainWindow::buildFields()
{
    for (int i = 0; i < 3; ++i) {
        auto* edit = new QLineEdit(QStringLiteral("00"), this);
        edit->setObjectName(QString::fromLatin1(kFieldNames[i]));
        edit->setAccessibleName(QString::fromLatin1(kFieldAccessible[i]));
        edit->setMaxLength(2);
        edit->setAlignment(Qt::AlignCenter);
        edit->setTextMargins(0, 0, 0, 0);
        place(edit, m_layout.fields[i]);
        edit->installEventFilter(this);
        m_fields[i] = edit;
        const TimeField field = TimeField(i);
        connect(edit, &QLineEdit::textChanged, this, [this, field] { fieldTextChanged(field); });

        auto* spin = new UpDown(this);
        spin->setObjectName(QString::fromLatin1(kSpinnerNames[i]));
        spin->setAccessibleName(QString::fromLatin1(kFieldAccessible[i]) + QStringLiteral(" spinner"));
        connect(spin, &UpDown::valueChanged, this, [this, field] { m_engine.SpinnerChanged(*this, field); });
        m_spinners[i] = spin;
    }
}

void MainWindow::buildButtons()
{
    for (const Cmd c : kAllCmds) {
        auto* b = new QPushButton(QString::fromLatin1(kButtonCaptions[slot(c)]), this);
        b->setObjectName(QStringLiteral("Command%1").arg(int(c)));
        b->setFont(sansFont(m_layout.buttonPoints));
        b->setAutoDefault(false);
        b->installEventFilter(this);
        place(b, m_layout.buttons[slot(c)]);
        m_buttons[slot(c)] = b;
    }
    button(Cmd::Start)->setDefault(m_layout.startIsDefault);
    setButtonColor(m_buttonColor);

    connect(button(Cmd::Start), &QPushButton::clicked, &m_engine, &Engine::Command1_Click);
    connect(button(Cmd::Reset), &QPushButton::clicked, this, &MainWindow::Command2_Click);
    connect(button(Cmd::Options), &QPushButton::clicked, this, &MainWindow::Command3_Click);
    connect(button(Cmd::Help), &QPushButton::clicked, this, &MainWindow::Command4_Click);
    connect(button(Cmd::Tray), &QPushButton::clicked, this, &MainWindow::Command5_Click);
    connect(button(Cmd::About), &QPushButton::clicked, this, &MainWindow::Command6_Click);
    connect(button(Cmd::Presets), &QPushButton::clicked, this, &MainWindow::Command7_Click);
}

void MainWindow::buildStatusBar()
{
    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName(QStringLiteral("StatusBar1"));
    m_statusBar->setSizeGripEnabled(false);
    // The status bar keeps the plain face colour under any background gradient.
    m_statusBar->setAutoFillBackground(true);
    QPalette plain = m_statusBar->palette();
    plain.setBrush(QPalette::Window, QApplication::palette().button());
    m_statusBar->setPalette(plain);
    m_statusBar->setFont(sansFont(m_layout.captionPoints));
    for (const StatusPanel p : kAllPanels) {
        auto* panel = new QLabel(m_statusBar);
        panel->setObjectName(QStringLiteral("Panel%1").arg(int(p)));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setContentsMargins(2, 0, 2, 0);
        m_panels[slot(p)] = panel;
    }
    m_statusBar->addWidget(statusPanel(StatusPanel::Mode), 3);
    m_statusBar->addWidget(statusPanel(StatusPanel::RunState), 2);
    place(m_statusBar, m_layout.statusBar);
}

// The buttons, then the fields and spinners, in each window's own order.
void MainWindow::orderTabs()
{
    QList<QWidget*> order;
    for (const Cmd c : kButtonTabOrder)
        order << button(c);
    if (m_layout.startIsDefault) {
        order << m_fields[0] << m_spinners[0] << m_spinners[1] << m_spinners[2] << m_fields[2] << m_fields[1];
    } else {
        order << m_fields[0] << m_fields[1] << m_fields[2] << m_spinners[0] << m_spinners[1] << m_spinners[2];
    }
    for (int i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

int MainWindow::indexOf(QObject* fieldWidget) const
{
    for (int i = 0; i < 3; ++i) {
        if (m_fields[i] == fieldWidget)
            return i;
    }
    return -1;
}

QLineEdit* MainWindow::field(TimeField f) const
{
    return m_fields[index(f)];
}

UpDown* MainWindow::spinner(TimeField f) const
{
    return m_spinners[index(f)];
}

QPushButton* MainWindow::button(Cmd b) const
{
    return m_buttons[slot(b)];
}

QLabel* MainWindow::statusPanel(StatusPanel panel) const
{
    return m_panels[slot(panel)];
}

// ---- Face --------------------------------------------------------------------------------------------

QString MainWindow::fieldText(TimeField f) const
{
    return field(f)->text();
}

void MainWindow::setFieldText(TimeField f, const QString& text)
{
    if (field(f)->text() == text)
        return;
    const QScopedValueRollback writing(m_writing, true);
    field(f)->setText(text);
}

// Text also arrives without key events (paste, drop, input methods, assistive tools setting or inserting
// text): whatever typing could not have put there, by its characters or by the typing limit, is refused and
// the field keeps the text it had.
void MainWindow::fieldTextChanged(TimeField f)
{
    QLineEdit* edit = field(f);
    const bool amPm = f == TimeField::Seconds && m_engine.options().WakeMode;
    const bool typeable =
        typeableFieldText(edit->text(), amPm) && edit->text().size() <= m_typingLimits[index(f)];
    if (!m_writing && !typeable) {
        const QScopedValueRollback writing(m_writing, true);
        edit->setText(m_accepted[index(f)]);
        return;
    }
    m_accepted[index(f)] = edit->text();
    m_engine.FieldTextChanged(*this, f);
}

void MainWindow::setFieldsLocked(bool locked)
{
    for (QLineEdit* e : m_fields)
        e->setReadOnly(locked);
}

// Kept apart from the edit's own maximum, which would cut the text already there.
void MainWindow::setFieldMaxLength(TimeField f, int length)
{
    m_typingLimits[index(f)] = length;
}

int MainWindow::spinnerValue(TimeField f) const
{
    return spinner(f)->value();
}

void MainWindow::setSpinnerValue(TimeField f, int value)
{
    spinner(f)->setValue(value);
}

void MainWindow::setSpinnerMinimum(TimeField f, int minimum)
{
    spinner(f)->setMinimum(minimum);
}

void MainWindow::setSpinnerMaximum(TimeField f, int maximum)
{
    spinner(f)->setMaximum(maximum);
}

void MainWindow::setSpinnersEnabled(bool enabled)
{
    for (UpDown* s : m_spinners)
        s->setEnabled(enabled);
}

QString MainWindow::caption() const
{
    return button(Cmd::Start)->text();
}

void MainWindow::setCaption(const QString& caption)
{
    button(Cmd::Start)->setText(caption);
}

void MainWindow::setButtonEnabled(Cmd b, bool enabled)
{
    button(b)->setEnabled(enabled);
}

void MainWindow::setStartButtonColor(std::uint32_t color)
{
    m_startColor = color;
    paintButton(button(Cmd::Start), color);
}

void MainWindow::setStatusPanel(StatusPanel panel, const QString& text)
{
    statusPanel(panel)->setText(text);
}

void MainWindow::setSecondsCaption(const QString& text)
{
    m_captions[2]->setText(text);
    m_fields[2]->setAccessibleName(text);
    m_secondsCaptionSet = true;
}

void MainWindow::restoreAndFocus()
{
    WindowSystem::current().bringForward(this);
}

void MainWindow::setTopmost(bool topmost)
{
    WindowSystem::current().setTopmost(this, topmost);
}

void MainWindow::copyStateFrom(const MainWindow& other)
{
    for (int i = 0; i < 3; ++i) {
        // The engine already knows these values: the copy raises no field or spinner events.
        const QSignalBlocker fieldBlock(m_fields[i]);
        const QSignalBlocker spinBlock(m_spinners[i]);
        m_fields[i]->setMaxLength(other.m_fields[i]->maxLength());
        m_fields[i]->setText(other.m_fields[i]->text());
        m_accepted[i] = other.m_accepted[i];
        m_fields[i]->setReadOnly(other.m_fields[i]->isReadOnly());
        m_spinners[i]->setMinimum(other.m_spinners[i]->minimum());
        m_spinners[i]->setMaximum(other.m_spinners[i]->maximum());
        m_spinners[i]->setValue(other.m_spinners[i]->value());
        m_spinners[i]->setEnabled(other.m_spinners[i]->isEnabled());
        m_typingLimits[i] = other.m_typingLimits[i];
    }
    // Until a mode is applied each window shows its own designed caption.
    if (other.m_secondsCaptionSet)
        setSecondsCaption(other.m_fields[2]->accessibleName());
    for (const Cmd c : kAllCmds)
        button(c)->setEnabled(other.button(c)->isEnabled());
    setCaption(other.caption());
    setStartButtonColor(other.m_startColor);
    for (const StatusPanel p : kAllPanels)
        setStatusPanel(p, other.statusPanel(p)->text());
}

// ---- Look --------------------------------------------------------------------------------------------

void MainWindow::setDigitColor(std::uint32_t color)
{
    for (QLineEdit* e : m_fields) {
        QPalette pal = e->palette();
        pal.setColor(QPalette::Base, fromWinColor(kDigitBackground));
        pal.setColor(QPalette::Text, fromWinColor(color));
        pal.setColor(QPalette::Disabled, QPalette::Text, fromWinColor(color));
        e->setPalette(pal);
    }
}

void MainWindow::setButtonColor(std::uint32_t color)
{
    m_buttonColor = color;
    for (QPushButton* b : m_buttons)
        paintButton(b, color);
    m_startColor = color;
}

void MainWindow::paintBackground(int choice)
{
    m_background = choice;
    m_paintedOuter = gradientOuterSize(this);
    paintBackgroundChoice(this, choice);
}

void MainWindow::placeSpinners(int extraHeightTwips)
{
    for (int i = 0; i < 3; ++i) {
        const TwipsRect& f = m_layout.fields[i];
        m_spinners[i]->setGeometry(
            twipsRect(f.left + f.width - 2, f.top, m_layout.spinnerWidth, f.height + extraHeightTwips));
        m_spinners[i]->raise();
    }
}

void MainWindow::applyOnTop()
{
    setTopmost(m_engine.options().OnTop);
}

// ---- Events ------------------------------------------------------------------------------------------

// The bands follow the window's outer height, which is only guessed until the window manager has framed the
// window: once the real frame is known, the gradient is painted again from it.
bool MainWindow::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Paint:
        if (m_background >= 0 && m_background < kFlatBackground && gradientOuterSize(this) != m_paintedOuter)
            QMetaObject::invokeMethod(
                this, [this] { paintBackground(m_background); }, Qt::QueuedConnection);
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    // Enter presses the button that has the focus, not the default one.
    if (auto* b = qobject_cast<QPushButton*>(watched);
        b && event->type() == QEvent::KeyPress && isEnter(static_cast<QKeyEvent*>(event))) {
        if (b->isEnabled())
            b->click();
        return true;
    }
    const int i = indexOf(watched);
    if (i >= 0 && fieldEvent(TimeField(i), event))
        return true;
    return QWidget::eventFilter(watched, event);
}

// True when the event is used up: a key the field's filter or the typing limit refuses.
bool MainWindow::fieldEvent(TimeField f, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
        return refusesKey(f, static_cast<QKeyEvent*>(event));
    case QEvent::FocusIn:
        m_engine.FieldGotFocus(*this, f);
        break;
    case QEvent::FocusOut: {
        // Another window taking the focus (a message box, the window manager) is not leaving the field.
        const auto reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            m_engine.FieldLostFocus(*this, f);
        break;
    }
    case QEvent::MouseButtonRelease:
        if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            m_engine.FieldClicked(*this, f);
        break;
    default:
        break;
    }
    return false;
}

bool MainWindow::refusesKey(TimeField f, const QKeyEvent* event)
{
    const int code = typedCode(event);
    if (code >= 0 && m_engine.filterKey(f, code) == 0)
        return true;
    const QLineEdit* edit = field(f);
    return code > 0 && code != kBackspace &&
           edit->text().size() - edit->selectedText().size() >= m_typingLimits[index(f)];
}

// Enter from anything but a button (which presses itself, see eventFilter) presses the default button.
void MainWindow::keyPressEvent(QKeyEvent* event)
{
    if (m_layout.startIsDefault && isEnter(event) && button(Cmd::Start)->isEnabled()) {
        button(Cmd::Start)->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::showEvent(QShowEvent* event)
{
    // Said again on every showing: the window manager forgets it while the window is hidden, and the
    // on-top switch makes a new native window.
    if (!s_taskVisible)
        WindowSystem::current().keepOutOfTaskbar(this);
    if (!m_centred) {
        m_centred = true;
        focusFirstButton();
        if (const QScreen* screen = QApplication::primaryScreen()) {
            QRect frame = frameGeometry();
            frame.moveCenter(screen->availableGeometry().center());
            move(frame.topLeft());
        }
    }
    QWidget::showEvent(event);
}

// Focus starts on the buttons, as the tab order has it; a time field holding the focus would keep a blinking
// cursor waking the program twice a second.
void MainWindow::focusFirstButton()
{
    for (const Cmd c : kButtonTabOrder) {
        if (button(c)->isEnabled()) {
            button(c)->setFocus(Qt::TabFocusReason);
            return;
        }
    }
}

// The digit face is sized once the window is on its way to the screen, before its first paint: loading and
// measuring the face would otherwise delay the window's appearance.
void MainWindow::setVisible(bool visible)
{
    QWidget::setVisible(visible);
    if (!visible || m_digitsFitted)
        return;
    m_digitsFitted = true;
    WindowSystem::current().flush();
    const TwipsRect& f0 = m_layout.fields[0];
    const QFont digits = fittedDigitFont(m_layout.digitPoints, twipsRect(0, 0, f0.width, f0.height).size());
    for (QLineEdit* e : m_fields)
        e->setFont(digits);
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    event->accept();
    Q_EMIT closeRequested();
}

// ---- Buttons -----------------------------------------------------------------------------------------

void MainWindow::Command2_Click()
{
    m_engine.Reset(*this);
}

void MainWindow::Command3_Click()
{
    Q_EMIT optionsRequested();
}

void MainWindow::Command4_Click()
{
    Q_EMIT helpRequested();
}

void MainWindow::Command5_Click()
{
    Q_EMIT trayRequested();
}

void MainWindow::Command6_Click()
{
    Q_EMIT aboutRequested();
}

void MainWindow::Command7_Click()
{
    Q_EMIT presetsRequested();
}

} // namespace zentimo
