#include "settings/Catalogue.h"

#include "settings/BoolText.h"

#include <array>
#include <limits>
#include <optional>
#include <utility>

namespace zentimo {

namespace {

enum class StoredAs { Integer, Flag, FlagDigit, Colour, Text };

struct Entry {
    OptionKey key;
    const char* name;
    StoredAs form;
    const char* defaultText;
};

// Every key of section "Options".
constexpr std::array<Entry, 13> kTable{{
    {OptionKey::Size, "Size", StoredAs::Integer, "0"},
    {OptionKey::ShowMessage, "Show Message", StoredAs::Flag, "False"},
    {OptionKey::AlarmMessage, "Alarm Message", StoredAs::Text, ""},
    {OptionKey::PlaySound, "Play Sound", StoredAs::Flag, "True"},
    {OptionKey::OnTop, "On Top", StoredAs::Flag, "False"},
    {OptionKey::BuiltInSound, "Built-in Sound", StoredAs::Integer, "107"},
    {OptionKey::UseBuiltIn, "Use Built-in", StoredAs::Flag, "True"},
    // Written as the check box state "1"/"0", though the default reads "False".
    {OptionKey::AutoRestart, "Auto Restart", StoredAs::FlagDigit, "False"},
    {OptionKey::LoopSound, "Loop Sound", StoredAs::Flag, "True"},
    {OptionKey::BackgroundColor, "Background Color", StoredAs::Integer, "5"},
    {OptionKey::DigitColor, "Digit Color", StoredAs::Colour, "65535"},
    {OptionKey::ButtonColor, "Button Color", StoredAs::Colour, "16711935"},
    {OptionKey::SoundFile, "Sound File", StoredAs::Text, ""},
}};

const Entry& entry(OptionKey key)
{
    for (const Entry& e : kTable) {
        if (e.key == key)
            return e;
    }
    return kTable.front(); // not reached: the table holds every key
}

std::optional<int> toInt(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok, 10);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// Signed 32-bit as written; unsigned 32-bit is taken too, as it names the same colour.
std::optional<std::uint32_t> toColour(const QString& text)
{
    bool ok = false;
    const qlonglong value = text.trimmed().toLongLong(&ok, 10);
    if (!ok || value < std::numeric_limits<std::int32_t>::min() ||
        value > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

} // namespace

const QString Catalogue::kSection = QStringLiteral("Options");

Catalogue::Catalogue(CRegSettings& store) : m_store(store) {}

QString Catalogue::keyName(OptionKey key)
{
    return QString::fromLatin1(entry(key).name);
}

QString Catalogue::defaultText(OptionKey key)
{
    return QString::fromLatin1(entry(key).defaultText);
}

bool Catalogue::defaultFlag(OptionKey key)
{
    return textToBool(defaultText(key), false);
}

int Catalogue::defaultInt(OptionKey key)
{
    return toInt(defaultText(key)).value_or(0);
}

std::uint32_t Catalogue::defaultColor(OptionKey key)
{
    return toColour(defaultText(key)).value_or(0);
}

std::optional<std::uint32_t> Catalogue::colorFromText(const QString& text)
{
    return toColour(text);
}

QString Catalogue::readText(OptionKey key) const
{
    if (m_held) {
        for (const auto& [name, text] : *m_held) {
            if (name == keyName(key))
                return text;
        }
    }
    return m_store.GetSetting(kSection, keyName(key), defaultText(key));
}

bool Catalogue::readFlag(OptionKey key) const
{
    return textToBool(readText(key), defaultFlag(key));
}

int Catalogue::readInt(OptionKey key) const
{
    return toInt(readText(key)).value_or(defaultInt(key));
}

std::uint32_t Catalogue::readColor(OptionKey key) const
{
    return toColour(readText(key)).value_or(defaultColor(key));
}

bool Catalogue::writeFlag(OptionKey key, bool value)
{
    if (entry(key).form == StoredAs::FlagDigit)
        return writeText(key, value ? QStringLiteral("1") : QStringLiteral("0"));
    return writeText(key, boolToText(value));
}

bool Catalogue::writeInt(OptionKey key, int value)
{
    return writeText(key, QString::number(value));
}

bool Catalogue::writeColor(OptionKey key, std::uint32_t value)
{
    return writeText(key, QString::number(static_cast<std::int32_t>(value)));
}

bool Catalogue::writeText(OptionKey key, const QString& value)
{
    if (!m_held)
        return m_store.SaveSetting(kSection, keyName(key), value);
    for (auto& [name, text] : *m_held) {
        if (name == keyName(key)) {
            text = value;
            return true;
        }
    }
    m_held->append({keyName(key), value});
    return true;
}

void Catalogue::beginBatch()
{
    if (!m_held)
        m_held.emplace();
}

bool Catalogue::commitBatch()
{
    if (!m_held)
        return true;
    const SettingPairs held = *std::exchange(m_held, std::nullopt);
    return m_store.SaveSettings(kSection, held);
}

} // namespace zentimo
