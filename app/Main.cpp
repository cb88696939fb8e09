#include "app/Main.h"

#include "app/Controller.h"
#include "engine/Engine.h"
#include "settings/Catalogue.h"
#include "sound/SoundPlayer.h"

#include <QCoreApplication>

namespace zentimo {

namespace {
// Declared in the order they must be torn down in reverse.
struct Program {
    SoundPlayer sound;
    Engine engine{sound};
    Controller controller{engine};
};
} // namespace

void Main()
{
    auto* program = new Program;
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, [program] { delete program; });
    bool ok = false;
    // A stored size that is not a whole number reads as the small window.
    const int size = program->controller.settings()
                         .GetSetting(Catalogue::kSection, Catalogue::keyName(OptionKey::Size), QStringLiteral("0"))
                         .trimmed()
                         .toInt(&ok);
    program->controller.size(ok ? size : 0);
}

} // namespace zentimo
