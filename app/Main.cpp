#include "app/Main.h"

#include "engine/Engine.h"
#include "settings/Catalogue.h"
#include "settings/CRegSettings.h"
#include "shell/Form1.h"
#include "sound/SoundPlayer.h"

#include <QCoreApplication>

namespace zentimo {

namespace {
// Declared in the order they must be torn down in reverse.
struct Program {
    SoundPlayer sound;
    Engine engine{sound};
    Form1 form1{engine};
};
} // namespace

void Main()
{
    int size = 0;
    {
        const CRegSettings settings = zentimoSettings();
        bool ok = false;
        // A stored size that is not a whole number reads as the small window.
        size = settings.GetSetting(Catalogue::kSection, Catalogue::keyName(OptionKey::Size), QStringLiteral("0"))
                   .trimmed()
                   .toInt(&ok);
        if (!ok)
            size = 0;
    }
    auto* program = new Program;
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [program] { delete program; });
    program->form1.size(size);
}

} // namespace zentimo
