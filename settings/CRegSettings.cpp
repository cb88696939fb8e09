#include "settings/CRegSettings.h"

#include "settings/RegistryFile.h"

namespace zentimo {

namespace {

const QString kDefaultCompany = QStringLiteral("VB and VBA Program Options");
const QString kDefaultAppName = QStringLiteral("ZM");
const QString kUnnamed = QStringLiteral("*");

// "*" and the empty name both address the key's unnamed value, as the registry has it.
QString valueName(const QString& key)
{
    return key == kUnnamed ? QString() : key;
}

} // namespace

CRegSettings::CRegSettings() : m_company(kDefaultCompany), m_appName(kDefaultAppName) {}

void CRegSettings::setCompany(const QString& value)
{
    const QString trimmed = value.trimmed();
    m_company = trimmed.isEmpty() ? kDefaultCompany : trimmed;
}

void CRegSettings::setAppName(const QString& value)
{
    const QString trimmed = value.trimmed();
    m_appName = trimmed.isEmpty() ? kDefaultAppName : trimmed;
}

QString CRegSettings::AppName() const
{
    return m_appName;
}

QString CRegSettings::GetSetting(const QString& section, const QString& key, const QString& def) const
{
    return RegistryFile(defaultFilePath()).textValue(BuildKeyPath(section), valueName(key)).value_or(def);
}

bool CRegSettings::SaveSetting(const QString& section, const QString& key, const QString& setting)
{
    return RegistryFile(defaultFilePath()).setTextValue(BuildKeyPath(section), valueName(key), setting);
}

bool CRegSettings::DeleteSetting(const QString& section, const QString& key)
{
    RegistryFile file(defaultFilePath());
    if (!key.isEmpty())
        return file.deleteValue(BuildKeyPath(section), valueName(key));
    // Without a section this would remove the application key, and so every section with it.
    if (section.isEmpty())
        return false;
    return file.deleteKey(BuildKeyPath(section));
}

SettingPairs CRegSettings::GetAllOptions(const QString& section) const
{
    return RegistryFile(defaultFilePath()).textValues(BuildKeyPath(section));
}

bool CRegSettings::SaveSettings(const QString& section, const SettingPairs& values)
{
    RegistryFile file(defaultFilePath());
    const QString path = BuildKeyPath(section);
    return file.batch([&] {
        for (const auto& [key, setting] : values) {
            if (!file.setTextValue(path, valueName(key), setting))
                return false;
        }
        return true;
    });
}

bool CRegSettings::ReplaceSection(const QString& section, const SettingPairs& values)
{
    if (section.isEmpty())
        return false; // would take every section with it
    RegistryFile file(defaultFilePath());
    const QString path = BuildKeyPath(section);
    return file.batch([&] {
        // A section not written yet is fine; one with sections below it stays, with none of its old values.
        if (!file.deleteKey(path) && !file.deleteValues(path))
            return false;
        for (const auto& [key, setting] : values) {
            if (!file.setTextValue(path, valueName(key), setting))
                return false;
        }
        return true;
    });
}

QString CRegSettings::defaultFilePath()
{
    return RegistryFile::defaultPath();
}

QString CRegSettings::BuildKeyPath(const QString& section) const
{
    QString path = QStringLiteral("Software\\") + m_company + QLatin1Char('\\') + m_appName;
    if (!section.isEmpty())
        path += QLatin1Char('\\') + section;
    return path;
}

CRegSettings zentimoSettings()
{
    CRegSettings settings;
    settings.setAppName(QStringLiteral("Zentimo"));
    settings.setCompany(QStringLiteral("Fernwick"));
    return settings;
}

} // namespace zentimo
