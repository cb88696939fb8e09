#pragma once
// Form3: the Presets dialog. Edits the stored times of the current mode and hands back the list to store
// and, after "Load selected", the time to put into the fields.
//   Label1 "Select preset:"   Combo1 the presets, in stored order
//   Command1 Add   Command2 Delete selected   Command3 Load selected   Command4 Close (default)
// The list is an edit buffer: only Load selected and Close hand it back; the close box discards it.

#include "dialogs/ValueDialog.h"
#include "engine/TimeText.h"

#include <QStringList>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

namespace zentimo {

// What the dialog starts from.
struct PresetsStart {
    bool wakeMode = false; // fixed while the dialog is open
    QStringList presets;   // the mode's stored list
    FieldTexts shown;      // the time the fields show, which Add stores
};

// What Load selected and Close hand back.
struct PresetsChange {
    QStringList presets;
    std::optional<FieldTexts> load; // Load selected only
};

class Form3 : public ValueDialog<PresetsChange> {
    Q_OBJECT
public:
    // owner is the window whose button opened it.
    Form3(const PresetsStart& start, QWidget* owner);

    QStringList presets() const;

    void Command1_Click(); // Add the shown time
    void Command2_Click(); // Delete the selected preset, after asking
    void Command3_Click(); // Load selected: hand back the list and the selected time
    void Command4_Click(); // Close: hand back the list

    // The field texts a stored preset loads: "hh:mm:ss", or "hh:mm:a"/"hh:mm:p" in Wake Mode. One-digit
    // parts get their leading zero; anything else that is not a time of the mode gives nothing.
    static std::optional<FieldTexts> parsePreset(const QString& record, bool wakeMode);

private:
    void build();
    QList<QPushButton*> buildButtons(); // Command1..Command4
    void connectButtons();
    void enableButtons();

    PresetsStart m_start;
    QLabel* m_label1 = nullptr;
    QComboBox* m_combo1 = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_command3 = nullptr;
    QPushButton* m_command4 = nullptr;
};

} // namespace zentimo
