// How late the engine raises a countdown's alarm on the real clocks, with no window and no accessibility
// client in between: the moment windowForwardNeeded fires against the press plus the countdown's length.
//
//     build/bench/alarm_moment [seconds]   (default 60)

#include "FakeFace.h"
#include "engine/Engine.h"
#include "sound/SoundPlayer.h"
#include "tests/SilentAudio.h"

#include <QCoreApplication>
#include <cstdio>

using namespace zentimo;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    SoundPlayer sound(std::make_unique<SilentAudio>());
    Engine engine(sound);
    test::FakeFace small;
    small.engine = &engine;
    engine.setFaces(&small, nullptr);
    small.setFieldText(TimeField::Hours, twoDigits(seconds / 3600));
    small.setFieldText(TimeField::Minutes, twoDigits(seconds / 60 % 60));
    small.setFieldText(TimeField::Seconds, twoDigits(seconds % 60));

    const Clock clock;
    qint64 pressedAt = 0;
    QObject::connect(&engine, &Engine::windowForwardNeeded, [&] {
        std::printf("countdown of %d s, alarm %+.1f ms after its true end\n", seconds,
                    double(clock.elapsedMs() - pressedAt - seconds * 1000LL));
        QCoreApplication::quit();
    });
    pressedAt = clock.elapsedMs();
    engine.Command1_Click();
    return QCoreApplication::exec();
}
