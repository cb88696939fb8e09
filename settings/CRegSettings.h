#pragma once
// CRegSettings: named text values per user, addressed by section and key under
// HKEY_CURRENT_USER\Software\<Company>\<AppName>[\<Section>]. No operation throws or shows anything:
// failures show only in the results.

#include <QList>
#include <QPair>
#include <QString>

namespace zentimo {

using SettingPairs = QList<QPair<QString, QString>>; // value name, text; in the order written

class CRegSettings {
public:
    CRegSettings();

    void setCompany(const QString& value); // empty restores the default; otherwise trimmed
    void setAppName(const QString& value); // empty restores "ZM"; otherwise trimmed
    QString AppName() const;

    // The stored text, or def when the value (or its section) is missing. Key "*" is the unnamed value.
    QString GetSetting(const QString& section, const QString& key, const QString& def = QString()) const;
    bool SaveSetting(const QString& section, const QString& key, const QString& setting);
    // An empty key deletes the whole section.
    bool DeleteSetting(const QString& section, const QString& key = QString());
    // Text values of the section in stored order; empty when there are none.
    SettingPairs GetAllOptions(const QString& section) const;

    // Several values of one section in one write: afterwards all of them are stored, or (False) none is.
    bool SaveSettings(const QString& section, const SettingPairs& values);
    // The section then holds exactly these values, in this order (none: the section goes, unless sections
    // lie below it), or (False) stays as it was.
    bool ReplaceSection(const QString& section, const SettingPairs& values);

    // The registry file every instance uses: $XDG_CONFIG_HOME/zentimo/registry.reg
    // (or ~/.config/zentimo/registry.reg).
    static QString defaultFilePath();

private:
    QString BuildKeyPath(const QString& section) const;

    QString m_company;
    QString m_appName;
};

// A store with AppName "Zentimo" and Company "Fernwick", as every window of the program uses.
CRegSettings zentimoSettings();

} // namespace zentimo
