#pragma once
// MainWindow: what the small (Form1) and the big (Form1b) main windows share: controls laid out from a
// twips table, the Face the engine drives, the field and spinner events and the on-top rule. Buttons that
// open something ask for it with a signal; the program's controller answers. The two windows differ only by
// their table.
//   Label2/Label1/Label3  hours / minutes / seconds (or "a"/"p")   UpDown2/1/3  their spinners
//   Command1 Start/Stop   Command2 Reset   Command3 Options   Command4 Help   Command5 Tray
//   Command6 About   Command7 Presets   StatusBar1 mode | run state

#include "engine/Face.h"
#include "shell/MainLayout.h"

#include <QWidget>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace zentimo {

class Engine;
class UpDown;

class MainWindow : public QWidget, public Face {
    Q_OBJECT
public:
    MainWindow(Engine& engine, const MainLayout& layout, QWidget* parent = nullptr);
    ~MainWindow() override;

    Engine& engine() const { return m_engine; }
    const MainLayout& layout() const { return m_layout; }

    // Face
    QString fieldText(TimeField field) const override;
    void setFieldText(TimeField field, const QString& text) override;
    void setFieldsLocked(bool locked) override;
    void setFieldMaxLength(TimeField field, int length) override;
    int spinnerValue(TimeField field) const override;
    void setSpinnerValue(TimeField field, int value) override;
    void setSpinnerMinimum(TimeField field, int minimum) override;
    void setSpinnerMaximum(TimeField field, int maximum) override;
    void setSpinnersEnabled(bool enabled) override;
    QString caption() const override;
    void setCaption(const QString& caption) override;
    void setButtonEnabled(Cmd button, bool enabled) override;
    std::uint32_t startButtonColor() const override { return m_startColor; }
    void setStartButtonColor(std::uint32_t color) override;
    void setStatusPanel(StatusPanel panel, const QString& text) override;
    void setSecondsCaption(const QString& text) override;

    // Back from minimized, in front and focused.
    void restoreAndFocus();
    // Topmost or not, position and size kept.
    void setTopmost(bool topmost);
    // Takes over what the other window shows: field texts, limits and locks, spinners, captions, enabled
    // states, the status bar. For a window built after the engine started using the other one.
    void copyStateFrom(const MainWindow& other);

    // Look
    void setDigitColor(std::uint32_t color);
    void setButtonColor(std::uint32_t color); // every command button
    // Background choice 0..6 as stored; other values leave the background as it is.
    void paintBackground(int choice);
    int background() const { return m_background; }
    // Spinners at the right edge of their fields.
    void placeSpinners(int extraHeightTwips);
    // The on-top rule: topmost exactly when the engine's OnTop is set; position and size kept.
    void applyOnTop();
    // Every main window keeps out of the taskbar from now on, for good: the tray's rule.
    static void leaveTaskbar() { s_taskVisible = false; }
    void setVisible(bool visible) override;

    QLineEdit* field(TimeField field) const;
    UpDown* spinner(TimeField field) const;
    QPushButton* button(Cmd button) const;
    QStatusBar* statusBar() const { return m_statusBar; }
    QLabel* statusPanel(StatusPanel panel) const;

    void Command2_Click(); // Reset, on this window's fields
    void Command3_Click(); // Options
    void Command4_Click(); // Help
    void Command5_Click(); // Tray
    void Command6_Click(); // About
    void Command7_Click(); // Presets

Q_SIGNALS:
    void optionsRequested();
    void helpRequested();
    void trayRequested();
    void aboutRequested();
    void presetsRequested();
    // The close box: the program ends.
    void closeRequested();

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void buildCaptions();
    void buildFields();
    void buildButtons();
    void buildStatusBar();
    void orderTabs();
    void focusFirstButton();
    int indexOf(QObject* fieldWidget) const;
    void fieldTextChanged(TimeField field);
    bool fieldEvent(TimeField field, QEvent* event);
    bool refusesKey(TimeField field, const QKeyEvent* event);

    Engine& m_engine;
    const MainLayout& m_layout;
    std::array<QLineEdit*, 3> m_fields{};
    std::array<int, 3> m_typingLimits{2, 2, 2};
    std::array<QString, 3> m_accepted{QStringLiteral("00"), QStringLiteral("00"), QStringLiteral("00")};
    bool m_writing = false; // the engine setting a field's text
    std::array<UpDown*, 3> m_spinners{};
    std::array<QPushButton*, 7> m_buttons{}; // Command1..Command7
    std::array<QLabel*, 3> m_captions{};
    QStatusBar* m_statusBar = nullptr;
    std::array<QLabel*, 2> m_panels{};
    std::uint32_t m_startColor = 0x00FF8080;
    std::uint32_t m_buttonColor = 0x00FF8080;
    int m_background = -1;
    QSize m_paintedOuter; // the outer size the background was painted for
    bool m_secondsCaptionSet = false;
    bool m_centred = false;
    static inline bool s_taskVisible = true; // TaskVisible
    bool m_digitsFitted = false;
};

} // namespace zentimo
