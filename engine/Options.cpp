#include "engine/Options.h"

namespace zentimo {

QString Options::modeCaption() const
{
    if (WakeMode)
        return QStringLiteral("Wake Mode");
    if (StopwatchMode)
        return QStringLiteral("Stopwatch Mode");
    return QStringLiteral("Countdown Mode");
}

Options readOptions(CRegSettings& store)
{
    const Catalogue stored(store);
    Options o;
    o.ShowMessage = stored.readFlag(OptionKey::ShowMessage);
    o.AlarmMessage = stored.readText(OptionKey::AlarmMessage);
    o.SoundOn = stored.readFlag(OptionKey::PlaySound);
    o.OnTop = stored.readFlag(OptionKey::OnTop);
    o.BuiltInSound = stored.readInt(OptionKey::BuiltInSound);
    o.UseBuiltIn = stored.readFlag(OptionKey::UseBuiltIn);
    o.AutoRestart = stored.readFlag(OptionKey::AutoRestart);
    o.LoopSound = stored.readFlag(OptionKey::LoopSound);
    o.BackgroundColor = stored.readInt(OptionKey::BackgroundColor);
    o.DigitColor = stored.readText(OptionKey::DigitColor);
    o.ButtonColor = stored.readColor(OptionKey::ButtonColor);
    o.SoundFile = stored.readText(OptionKey::SoundFile);
    return o;
}

bool saveOptions(CRegSettings& store, const OptionsChange& change)
{
    const Options& o = change.options;
    Catalogue stored(store);
    stored.beginBatch(); // every option below lands in one write
    bool ok = stored.writeFlag(OptionKey::LoopSound, o.LoopSound);
    ok &= stored.writeFlag(OptionKey::AutoRestart, o.AutoRestart);
    ok &= stored.writeFlag(OptionKey::OnTop, o.OnTop);
    if (change.backgroundChosen)
        ok &= stored.writeInt(OptionKey::BackgroundColor, o.BackgroundColor);
    ok &= stored.writeText(OptionKey::DigitColor, o.DigitColor);
    if (change.buttonColorChosen)
        ok &= stored.writeColor(OptionKey::ButtonColor, o.ButtonColor);
    if (change.soundFileShown)
        ok &= stored.writeText(OptionKey::SoundFile, o.SoundFile);
    ok &= stored.writeFlag(OptionKey::PlaySound, o.SoundOn);
    ok &= stored.writeInt(OptionKey::BuiltInSound, o.BuiltInSound);
    ok &= stored.writeFlag(OptionKey::UseBuiltIn, o.UseBuiltIn);
    ok &= stored.writeFlag(OptionKey::ShowMessage, o.ShowMessage);
    ok &= stored.writeText(OptionKey::AlarmMessage, o.AlarmMessage);
    return stored.commitBatch() && ok;
}

} // namespace zentimo
