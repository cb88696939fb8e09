#include "shell/Form1b.h"

#include "app/Shared.h"
#include "engine/Engine.h"
#include "settings/Catalogue.h"
#include "shell/Form1.h"

namespace zentimo {

Form1b::Form1b(Engine& engine, Form1& owner) : MainWindow(engine, kBigLayout), m_owner(owner)
{
    CRegSettings settings = zentimoSettings();
    const Catalogue options(settings);
    engine.OnTop = options.readFlag(OptionKey::OnTop);
    if (engine.OnTop)
        setTopmost(true);
    const int background = options.readInt(OptionKey::BackgroundColor);
    owner.paintBackground(background);
    paintBackground(background);
    shared().DigitColor = options.readText(OptionKey::DigitColor);
    setDigitColor(options.readColor(OptionKey::DigitColor));
    setButtonColor(options.readColor(OptionKey::ButtonColor));
    placeSpinners(layout().spinnerExtraHeight);
}

} // namespace zentimo
