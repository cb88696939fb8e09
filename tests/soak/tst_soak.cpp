// Hours of use squeezed into half a minute: a one-second countdown with auto restart whose second lasts
// 15 ms rings thousands of times through the real windows and the real SDL mixer. Memory must
// level off after a warm-up, and the last alarm must not leave a sound behind.

#include "../sound/DiskCapture.h"
#include "shell/Form2.h"
#include "shell/MainFixture.h"
#include "sound/SdlAudio.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>
#include <unistd.h>

using namespace zentimo;
using namespace zentimo::test;

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

constexpr int kAlarms = 2000;
// Longer than a mixer buffer (about 12 ms), so every alarm's sound reaches the output.
constexpr int kSecondMs = 15;
constexpr int kWarmUp = 200;
constexpr int kSampleEvery = 200;
// The message window is closed now and then, so it is built afresh too.
constexpr int kCloseMessageEvery = 100;
// Growth allowed after the warm-up: a leak of even 1 KiB an alarm would pass 2 MiB.
constexpr qint64 kRssBoundKiB = 1536;

qint64 residentKiB()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * (sysconf(_SC_PAGESIZE) / 1024) : -1;
}

QtMessageHandler g_next = nullptr;

// The offscreen platform cannot raise or shape windows and says so on every alarm; the rest passes on.
void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.startsWith(QLatin1String("This plugin does not support")))
        g_next(type, context, message);
}

} // namespace

class SoakTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_audioDir;
    MainFixture fx;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_audioDir.isValid());
        g_next = qInstallMessageHandler(quietOffscreen);
        // The mixer reads these when it opens, with the first alarm.
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(m_audioDir.filePath(QStringLiteral("out.raw"))));
    }
    void init() { fx.prepare(); }
    void cleanup()
    {
        if (Form2* form2 = Form2::current())
            delete form2;
        fx.teardown();
    }

    void thousandsOfRestartedAlarmsKeepMemoryFlatAndEndSilent()
    {
        fx.seed(QStringLiteral("Auto Restart"), QStringLiteral("1"));
        fx.seed(QStringLiteral("Loop Sound"), QStringLiteral("False"));
        fx.seed(QStringLiteral("Use Built-in"), QStringLiteral("True"));
        fx.seed(QStringLiteral("Show Message"), QStringLiteral("True"));
        fx.seed(QStringLiteral("Alarm Message"), QStringLiteral("Tea is ready"));
        // The real program's parts: SDL sound, the system clock, both windows.
        fx.sound = std::make_unique<SoundPlayer>();
        fx.engine = std::make_unique<Engine>(*fx.sound);
        fx.app = std::make_unique<Controller>(*fx.engine);
        fx.form1 = &fx.app->form1();
        fx.app->size(0);
        auto* audio = dynamic_cast<SdlAudio*>(&fx.sound->backend());
        QVERIFY(audio);
        Engine& engine = *fx.engine;

        engine.setSecondInterval(kSecondMs);
        fx.setTime(*fx.form1, QStringLiteral("00"), QStringLiteral("00"), QStringLiteral("01"));
        QTest::mouseClick(fx.form1->button(Cmd::Start), Qt::LeftButton);

        int alarms = 0;
        QList<qint64> samples; // KiB after the warm-up, then every kSampleEvery alarms
        QEventLoop loop;
        connect(&engine, &Engine::alarmMessageNeeded, &loop, [&] {
            ++alarms;
            if (alarms >= kWarmUp && alarms % kSampleEvery == 0)
                samples.append(residentKiB());
            if (alarms % kCloseMessageEvery == 0)
                QTimer::singleShot(0, [] {
                    if (Form2* form2 = Form2::current())
                        form2->close();
                });
            if (alarms == kAlarms)
                loop.quit();
        });
        QTimer guard;
        guard.setSingleShot(true);
        connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
        guard.start(110'000);
        QElapsedTimer took;
        took.start();
        loop.exec();
        QCOMPARE(alarms, kAlarms);
        // Printed directly: the figures must show even when warnings have used up QTest's allowance.
        std::printf("%d alarms in %.1f s; RSS after warm-up, every %d alarms (KiB): %s\n", alarms,
                    double(took.elapsed()) / 1000, kSampleEvery, qPrintable([&] {
                        QStringList t;
                        for (qint64 k : samples)
                            t << QString::number(k);
                        return t.join(' ');
                    }()));

        // The countdown is still armed and shows its start value again; the button stops it.
        QVERIFY(engine.secEnabled());
        QCOMPARE(MainFixture::time(*fx.form1), QString("00:00:01"));
        QTest::mouseClick(fx.form1->button(Cmd::Start), Qt::LeftButton);
        QVERIFY(!engine.secEnabled() && !engine.flashing());

        // The alarms did sound, and the last one dies away by itself.
        QVERIFY(audio->isOpen());
        QTRY_VERIFY_WITH_TIMEOUT(!audio->isWavePlaying(), 15'000);
        QVERIFY(!audio->isDevicePlaying());
        QVERIFY(!engine.sound().SoundPlaying);
        const DiskCapture out(m_audioDir.filePath(QStringLiteral("out.raw")));
        const QVector<int> levels = out.levels(0, out.frames());
        QVERIFY(*std::max_element(levels.begin(), levels.end()) > 1000);

        if (kSanitized) {
            std::printf("memory bound not checked: the address sanitizer holds freed memory back\n");
        } else {
            QVERIFY(samples.size() >= 2);
            const qint64 growth = *std::max_element(samples.begin(), samples.end()) - samples.first();
            QVERIFY2(growth <= kRssBoundKiB, qPrintable(QStringLiteral("RSS grew by %1 KiB").arg(growth)));
        }
    }
};

QTEST_MAIN(SoakTest)
#include "tst_soak.moc"
