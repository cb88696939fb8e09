#pragma once
// Form4: the Colors dialog. Shows the stored colours and hands new choices to the Options dialog;
// it saves and applies nothing itself.
//   Frame1 "Digits:"      Option1(0..5) a "0" in each digit colour
//   Frame2 "Background:"  Picture1..Picture6 gradient samples, Option2(0..5) under them,
//                         Option2(6) Default Windows color
//   Frame3 "Buttons:"     Command3(0..5) colour samples, Option3(0..5) beside them,
//                         Command3(6) hidden, carrying the system colour; Option3(6) Default Windows color
//   Command2 OK   Command1 Cancel
// Controls of an array share their objectName; their dynamic property "index" tells them apart.

#include "settings/CRegSettings.h"

#include <QDialog>
#include <array>
#include <cstdint>

class QButtonGroup;
class QPushButton;
class QRadioButton;

namespace zentimo {

class Form5;

class Form4 : public QDialog {
    Q_OBJECT
public:
    // Loads the dialog from the store, owned by the Options dialog; exec() shows it.
    explicit Form4(Form5& options);
    ~Form4() override;

    static constexpr std::array<std::uint32_t, 6> kDigitColors{0x0000FFFF, 0x00FF00FF, 0x00FFFF00,
                                                               0x00FFFFFF, 0x0000FF00, 0x000000FF};
    static constexpr std::array<std::uint32_t, 7> kButtonColors{
        0x00FF00FF, 0x00FF8080, 0x00FFFF00, 0x0000FF00, 0x000000FF, 0x0080FFFF, 0x8000000F};
    // Start colours (red, green, blue) of the background samples, choices 0 to 5.
    static constexpr std::array<std::array<int, 3>, 6> kBackgroundStarts{
        {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {0, 255, 255}, {255, 255, 0}, {255, 0, 255}}};

    void Picture_Click(int picture); // Picture1..Picture6
    void Command3_Click(int index);
    void Command2_Click(); // OK
    void Command1_Click(); // Cancel
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void load();

    Form5& m_options;
    CRegSettings m_settings;
    std::array<QWidget*, 6> m_pictures{};
    std::array<QPushButton*, 7> m_command3{};
    QButtonGroup* m_option1 = nullptr;
    QButtonGroup* m_option2 = nullptr;
    QButtonGroup* m_option3 = nullptr;
};

} // namespace zentimo
