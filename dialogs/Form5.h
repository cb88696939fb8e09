#pragma once
// Form5: the Options dialog. It starts from the options in use, keeps the option interlocks, and on "Done"
// hands back the edited options; whoever opened it saves and applies them.
//   Frame5 "Mode:"     Option3(0..2) Countdown/Wake/Stopwatch   Check3 Auto restart
//   Frame2 "Window:"   Frame3 "Colors:" Command3 Select   Frame(2) "Size:" Option1(0..1) Big/Small
//                      Check1 Keep window on top
//   Frame1 "Alarm Options:"
//     Frame(1) "Message:"  Checkalmmsg Show Message   label4   txtalmmsg
//     Frame(0) "Sound:"    Check2 Play Sound   Option2(0..1) Loop/Play once
//       Frame7  Option4(0) Built-in   Label3   Combo1 (item data 101..107)   Command6 Test
//       Frame6  Option4(1) File   Label2   Label1 path   Command1 Test/Stop   Command2 Select
//   Command4 Done   Command5 Cancel
// Controls of an array share their objectName; their dynamic property "index" tells them apart.

#include "dialogs/Form4.h"
#include "dialogs/ValueDialog.h"
#include "engine/Options.h"
#include "sound/SoundPlayer.h"

#include <array>
#include <cstdint>
#include <optional>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace zentimo {

class SoundPlayer;

class Form5 : public ValueDialog<OptionsChange> {
    Q_OBJECT
public:
    // Loads the dialog from the options in use, whose BigWindow tells the main window on the screen (0 small,
    // 1 big, -1 none); the Colors dialog starts from storedColors. The Test buttons play through sound.
    Form5(const Options& current, const ColorChoice& storedColors, SoundPlayer& sound, QWidget* owner);
    ~Form5() override;

    // The whole file, or the empty text after reporting the file error in a message box.
    QString LoadSound(const QString& path);

    // The open-file dialog. filter holds "description|patterns|..." pairs, patterns separated by ";".
    // Returns the chosen existing file, or the empty text when the user cancels.
    static QString ShowOpenFileDialog(QWidget* owner, const QString& filter, const QString& title,
                                      const QString& initialFolder);
    // "Sound Files (*.mp3, *.wav, *.mid)|*.mp3;*.wav;*.mid" -> "Sound Files (*.mp3 *.wav *.mid)".
    static QString qtFileFilter(const QString& filter);

    static const QString kNoneSelected;

    // Handlers; setting a check box or an option button from code runs them as a click does.
    void Option3_Click(int index);
    void Check3_Click();
    void Option2_Click(int index);
    void Checkalmmsg_Click();
    void Option4_Click(int index);
    void Command6_Click(); // built-in Test
    void Command1_Click(); // file Test/Stop
    void reportFileError(const FileError& error);
    void Command2_Click(); // file Select
    void Command3_Click(); // Colors
    void Command4_Click(); // Done
    void Command5_Click(); // Cancel

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    QGroupBox* buildAlarmFrame();
    QGroupBox* buildMessageFrame(QWidget* frame1);
    QGroupBox* buildSoundFrame(QWidget* frame1);
    QGroupBox* buildBuiltInFrame(QWidget* frameSound);
    QGroupBox* buildFileFrame(QWidget* frameSound);
    QGroupBox* buildModeFrame();
    QGroupBox* buildWindowFrame();
    QLayout* buildDoneCancel();
    void connectHandlers();
    void load();
    void loadSoundSource();
    void loadChoices();
    bool missingSomething();
    OptionsChange edited() const;
    QWidget* messageParent();

    Options m_current;
    ColorChoice m_storedColors;
    // The Colors dialog's last choices in this visit (NewBackgroundIndex, NewDigitColor, NewButtonColor);
    // -1 = no new choice.
    ColorChoice m_newColors;
    SoundPlayer& m_sound;
    bool m_unloaded = false;

    std::array<QRadioButton*, 3> m_option3{};
    QCheckBox* m_check3 = nullptr;
    QPushButton* m_command3 = nullptr;
    std::array<QRadioButton*, 2> m_option1{};
    QCheckBox* m_check1 = nullptr;
    QCheckBox* m_checkalmmsg = nullptr;
    QLineEdit* m_txtalmmsg = nullptr;
    QCheckBox* m_check2 = nullptr;
    std::array<QRadioButton*, 2> m_option2{};
    std::array<QRadioButton*, 2> m_option4{};
    QButtonGroup* m_option4Group = nullptr;
    QLabel* m_label3 = nullptr;
    QComboBox* m_combo1 = nullptr;
    QPushButton* m_command6 = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_label1 = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_command4 = nullptr;
    QPushButton* m_command5 = nullptr;
};

} // namespace zentimo
