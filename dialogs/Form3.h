#pragma once
// Form3: the Presets dialog. Keeps stored times of the current mode and moves them into and out of the
// small main window's fields (the big window follows through the fields' own mirroring).
//   Label1 "Select preset:"   Combo1 the stored presets, in stored order
//   Command1 Add   Command2 Delete selected   Command3 Load selected   Command4 Close (default)
// The list is an edit buffer: only Load selected and Close write it back; the close box discards it.

#include "engine/Face.h"
#include "engine/TimeText.h"
#include "settings/CRegSettings.h"

#include <QDialog>
#include <optional>

class QComboBox;
class QLabel;
class QPushButton;

namespace zentimo {

class Form3 : public QDialog {
    Q_OBJECT
public:
    // Reads the stored list of the mode; adds from and loads into the fields of the small main window.
    // owner is the window whose button opened it.
    Form3(Face& fields, bool wakeMode, QWidget* owner);

    // "Wake Presets" or "Countdown Presets" (also for Stopwatch Mode), fixed when the dialog opens.
    QString section() const { return m_section; }
    QStringList presets() const;

    void Command1_Click(); // Add the displayed time
    void Command2_Click(); // Delete the selected preset, after asking
    void Command3_Click(); // Load the selected preset into the fields, save, close
    void Command4_Click(); // Save and close

    // The field texts a stored preset loads: "hh:mm:ss", or "hh:mm:a"/"hh:mm:p" in Wake Mode. One-digit
    // parts get their leading zero; anything else that is not a time of the mode gives nothing.
    static std::optional<FieldTexts> parsePreset(const QString& record, bool wakeMode);

private:
    void build();
    void readList();
    void saveList();
    void enableButtons();

    Face& m_fields;
    CRegSettings m_settings;
    bool m_wakeMode = false;
    QString m_section;
    QLabel* m_label1 = nullptr;
    QComboBox* m_combo1 = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_command3 = nullptr;
    QPushButton* m_command4 = nullptr;
};

} // namespace zentimo
