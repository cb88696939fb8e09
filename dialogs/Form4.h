#pragma once
// Form4: the Colors dialog. Starts from the stored colours and gives the choices back to the Options
// dialog; it saves and applies nothing itself.
//   Frame1 "Digits:"      Option1(0..5) a "0" in each digit colour
//   Frame2 "Background:"  Picture1..Picture6 gradient samples, Option2(0..5) under them,
//                         Option2(6) Default Windows color
//   Frame3 "Buttons:"     Command3(0..5) colour samples, Option3(0..5) beside them,
//                         Command3(6) hidden, carrying the system colour; Option3(6) Default Windows color
//   Command2 OK   Command1 Cancel
// Controls of an array share their objectName; their dynamic property "index" tells them apart.

#include "dialogs/ValueDialog.h"

#include <array>
#include <cstdint>

class QButtonGroup;

namespace zentimo {

// The three colours, as stored (what the dialog starts from) or as "OK" hands them over; -1 is no choice
// (a stored value the dialog does not offer).
struct ColorChoice {
    std::int32_t BackgroundIndex = -1; // 0..6
    std::int32_t DigitColor = -1;      // 0x00BBGGRR
    std::int32_t ButtonColor = -1;     // 0x00BBGGRR
};

class Form4 : public ValueDialog<ColorChoice> {
    Q_OBJECT
public:
    // Owned by the Options dialog.
    Form4(const ColorChoice& stored, QWidget* options);
    ~Form4() override;

    static constexpr std::array<std::uint32_t, 6> kDigitColors{0x0000FFFF, 0x00FF00FF, 0x00FFFF00,
                                                               0x00FFFFFF, 0x0000FF00, 0x000000FF};
    static constexpr std::array<std::uint32_t, 7> kButtonColors{
        0x00FF00FF, 0x00FF8080, 0x00FFFF00, 0x0000FF00, 0x000000FF, 0x0080FFFF, 0x8000000F};

    void Picture_Click(int picture); // Picture1..Picture6
    void Command3_Click(int index);
    void Command2_Click(); // OK
    void Command1_Click(); // Cancel

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    void buildDigits();
    void buildBackgrounds();
    void buildButtons();
    void buttonSample(QWidget* frame, int index);
    void buildOkCancel();
    void load(const ColorChoice& stored);

    std::array<QWidget*, 6> m_pictures{};
    QButtonGroup* m_option1 = nullptr;
    QButtonGroup* m_option2 = nullptr;
    QButtonGroup* m_option3 = nullptr;
};

} // namespace zentimo
