// Hours of use squeezed into half a minute: a one-second countdown with auto restart whose second lasts
// 15 ms rings thousands of times through the real windows and the real SDL mixer. Memory must
// level off after a warm-up, and the last alarm must not leave a sound behind.

#include "../sound/DiskCapture.h"
#include "shell/Form2.h"
#include "shell/MainFixture.h"
#include "sound/SdlAudio.h"

#include <QEventLoop>
#include <unistd.h>

using namespace zentimo;
using namespace zentimo::test;

namespace {

constexpr int kAlarms = 2000;
constexpr int kSecondMs = 15; // longer than a mixer buffer (about 12 ms): every alarm's sound is heard
constexpr int kWarmUp = 200;  // RSS is sampled from here on, every kWarmUp alarms
// Growth allowed after the warm-up: a leak of even 1 KiB an alarm would pass 2 MiB.
constexpr qint64 kRssBoundKiB = 1536;

qint64 residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    statm.open(QIODevice::ReadOnly);
    return statm.readAll().split(' ').value(1).toLongLong() * (sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace

class SoakTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_audioDir;
    MainFixture fx;

private Q_SLOTS:
    void thousandsOfRestartedAlarmsKeepMemoryFlatAndEndSilent()
    {
        // The mixer reads these when it opens, with the first alarm.
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(m_audioDir.filePath(QStringLiteral("out.raw"))));
        fx.prepare();
        fx.seed(QStringLiteral("Auto Restart"), QStringLiteral("1"));
        fx.seed(QStringLiteral("Loop Sound"), QStringLiteral("False"));
        fx.seed(QStringLiteral("Show Message"), QStringLiteral("True"));
        // The real program's parts: SDL sound, the system clock, both windows.
        fx.sound = std::make_unique<SoundPlayer>();
        fx.engine = std::make_unique<Engine>(*fx.sound);
        fx.app = std::make_unique<Controller>(*fx.engine);
        fx.form1 = &fx.app->form1();
        fx.app->size(0);
        auto* audio = static_cast<SdlAudio*>(&fx.sound->backend());
        Engine& engine = *fx.engine;
        engine.setSecondInterval(kSecondMs);
        fx.setTime(*fx.form1, QStringLiteral("00"), QStringLiteral("00"), QStringLiteral("01"));
        QTest::mouseClick(fx.form1->button(Cmd::Start), Qt::LeftButton);

        int alarms = 0;
        QList<qint64> samples;
        QEventLoop loop;
        connect(&engine, &Engine::alarmMessageNeeded, &loop, [&] {
            if (++alarms % kWarmUp == 0)
                samples.append(residentKiB());
            // The message window is closed now and then, so it is built afresh too.
            if (alarms % 100 == 0)
                QTimer::singleShot(0, [] {
                    if (Form2* form2 = Form2::current())
                        form2->close();
                });
            if (alarms == kAlarms)
                loop.quit();
        });
        QTimer::singleShot(110'000, &loop, &QEventLoop::quit);
        loop.exec();
        QCOMPARE(alarms, kAlarms);

        // The countdown is still armed and shows its start value again; the button stops it.
        QVERIFY(engine.secEnabled());
        QCOMPARE(MainFixture::time(*fx.form1), QString("00:00:01"));
        QTest::mouseClick(fx.form1->button(Cmd::Start), Qt::LeftButton);
        QVERIFY(!engine.secEnabled() && !engine.flashing());

        // The alarms did sound, and the last one dies away by itself.
        QTRY_VERIFY_WITH_TIMEOUT(!audio->isWavePlaying(), 15'000);
        QVERIFY(!audio->isDevicePlaying() && !engine.sound().SoundPlaying);
        const DiskCapture out{m_audioDir.filePath(QStringLiteral("out.raw"))};
        QVERIFY(out.heard(0, out.frames(), 1000).first >= 0);

#if !defined(__SANITIZE_ADDRESS__) // it holds freed memory back
        const qint64 growth = *std::max_element(samples.begin(), samples.end()) - samples.first();
        QVERIFY2(growth <= kRssBoundKiB, qPrintable(QStringLiteral("RSS grew by %1 KiB").arg(growth)));
#endif
        delete Form2::current();
        fx.teardown();
    }
};

QTEST_MAIN(SoakTest)
#include "tst_soak.moc"
