#include "WithOptions.h"
#include "dialogs/Form3.h"
#include "shell/MainFixture.h"

#include <QComboBox>

using namespace zentimo;
using zentimo::test::withOptions;
using namespace zentimo::test;

namespace {

const QString kCountdown = QStringLiteral("Countdown Presets");
const QString kWake = QStringLiteral("Wake Presets");

void seedPresets(const QString& section, const QStringList& values)
{
    CRegSettings s = zentimoSettings();
    for (int i = 0; i < values.size(); ++i)
        s.SaveSetting(section, QStringLiteral("Preset%1").arg(i), values[i]);
}

// "Preset0=01:30:00", ... in the order the registry file holds them.
QStringList storedPresets(const QString& section)
{
    QStringList out;
    for (const auto& [name, value] : zentimoSettings().GetAllOptions(section))
        out << name + QLatin1Char('=') + value;
    return out;
}

QStringList keyed(const QStringList& values)
{
    QStringList out;
    for (int i = 0; i < values.size(); ++i)
        out << QStringLiteral("Preset%1=").arg(i) + values[i];
    return out;
}

QPushButton* cmd(Form3& d, const char* name)
{
    return d.findChild<QPushButton*>(QString::fromLatin1(name));
}

void click(Form3& d, const char* name)
{
    QTest::mouseClick(cmd(d, name), Qt::LeftButton);
}

} // namespace

class Form3Test : public QObject {
    Q_OBJECT
    MainFixture fx;

    std::unique_ptr<Form3> open()
    {
        auto d = std::make_unique<Form3>(*fx.form1, fx.engine->options().WakeMode, fx.form1);
        d->show();
        return d;
    }
    void wakeMode()
    {
        withOptions(*fx.engine, [&](Options& o) { o.WakeMode = true; });
        fx.engine->applyModeToFields();
    }

private Q_SLOTS:
    void init()
    {
        fx.prepare();
        fx.start(0);
    }
    void cleanup() { fx.teardown(); }

    void captionAndListFollowTheMode_data()
    {
        QTest::addColumn<bool>("wake");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("list");
        QTest::newRow("countdown") << false << "Presets - Countdown Mode" << QStringList{"00:10:00"};
        QTest::newRow("wake") << true << "Presets - Wake Mode" << QStringList{"06:45:a", "07:30:a"};
    }
    void captionAndListFollowTheMode()
    {
        QFETCH(bool, wake);
        seedPresets(kCountdown, {"00:10:00"});
        seedPresets(kWake, {"06:45:a", "07:30:a"});
        withOptions(*fx.engine, [&](Options& o) { o.WakeMode = wake; });
        auto d = open();
        QTEST(d->windowTitle(), "title");
        QTEST(d->presets(), "list");
        QCOMPARE(d->findChild<QComboBox*>("Combo1")->currentIndex(), d->presets().size() - 1);
    }

    void storedOrderSurvivesMoreThanTenPresets()
    {
        QStringList times;
        {
            auto d = open();
            // Falling times, so that neither a sort by value nor one by key name keeps this order.
            for (int i = 12; i >= 1; --i) {
                const QString minutes = QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
                fx.setTime(*fx.form1, "00", minutes, "00");
                click(*d, "Command1");
                times << "00:" + minutes + ":00";
            }
            click(*d, "Command4");
        }
        QCOMPARE(storedPresets(kCountdown), keyed(times));
        auto again = open();
        QCOMPARE(again->presets(), times);
    }

    void closeRewritesTheSectionFromTheList()
    {
        seedPresets(kCountdown, {"00:00:01", "00:00:02", "00:00:03", "00:00:04", "00:00:05", "00:00:06"});
        auto d = open();
        for (int i = 0; i < 3; ++i) {
            MessageBox::queueAnswer(MessageBox::Answer::Yes);
            click(*d, "Command2");
        }
        click(*d, "Command4");
        QVERIFY(!d->isVisible());
        QCOMPARE(storedPresets(kCountdown), keyed({"00:00:01", "00:00:02", "00:00:03"}));
    }

    void anEmptyListRemovesTheSection()
    {
        seedPresets(kCountdown, {"00:05:00"});
        auto d = open();
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        click(*d, "Command2");
        QVERIFY(d->presets().isEmpty());
        click(*d, "Command4");
        QVERIFY(storedPresets(kCountdown).isEmpty());
    }

    void addStoresTheDisplayedTime_data()
    {
        QTest::addColumn<bool>("wake");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<int>("boxes");
        QTest::newRow("all zero is refused") << false << "00:00:00" << QStringList{} << 1;
        QTest::newRow("one second") << false << "00:00:01" << QStringList{"00:00:01"} << 0;
        QTest::newRow("wake") << true << "07:30:a" << QStringList{"07:30:a"} << 0;
    }
    void addStoresTheDisplayedTime()
    {
        QFETCH(bool, wake);
        QFETCH(QString, time);
        if (wake)
            wakeMode();
        const QStringList parts = time.split(':');
        fx.setTime(*fx.form1, parts[0], parts[1], parts[2]);
        auto d = open();
        click(*d, "Command1");
        QTEST(d->presets(), "list");
        QTEST(int(MessageBox::shown().size()), "boxes");
        if (!MessageBox::shown().isEmpty())
            QCOMPARE(
                MessageBox::shown().first().text,
                QString("Current time is set to 00:00:00. Please set a time other than this and try again."));
        QVERIFY(storedPresets(wake ? kWake : kCountdown).isEmpty()); // Add alone writes nothing
    }

    void deleteAsksAndThenSelectsTheLast()
    {
        seedPresets(kCountdown, {"00:01:00", "00:02:00", "00:03:00"});
        auto d = open();
        auto* combo = d->findChild<QComboBox*>("Combo1");
        combo->setCurrentIndex(0);
        click(*d, "Command2"); // unanswered: No
        QCOMPARE(d->presets().size(), 3);
        QCOMPARE(MessageBox::shown().first().buttons, MessageBox::Buttons::YesNo);
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        click(*d, "Command2");
        QCOMPARE(d->presets(), QStringList({"00:02:00", "00:03:00"}));
        QCOMPARE(combo->currentIndex(), 1);
    }

    void theCloseBoxDiscardsTheVisitsEdits()
    {
        seedPresets(kCountdown, {"00:01:00", "00:02:00"});
        fx.setTime(*fx.form1, "00", "09", "00");
        auto d = open();
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
        click(*d, "Command2");
        click(*d, "Command1");
        d->close();
        QCOMPARE(storedPresets(kCountdown), keyed({"00:01:00", "00:02:00"}));
    }

    void loadSelectedFillsBothWindowsAndSaves_data()
    {
        QTest::addColumn<bool>("wake");
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QString>("time");
        QTest::addColumn<int>("minutesSpinner");
        QTest::newRow("countdown") << false << QString("01:30:05") << "01:30:05" << 30;
        QTest::newRow("wake") << true << QString("07:30:a") << "07:30:a" << 5; // spinners left alone
        QTest::newRow("one digit parts") << false << QString("7:5:3") << "07:05:03" << 5;
    }
    void loadSelectedFillsBothWindowsAndSaves()
    {
        QFETCH(bool, wake);
        QFETCH(QString, preset);
        if (wake)
            wakeMode();
        const QString section = wake ? kWake : kCountdown;
        seedPresets(section, {preset, "00:00:09"});
        fx.form1->spinner(TimeField::Minutes)->setValue(5);
        auto d = open();
        d->findChild<QComboBox*>("Combo1")->setCurrentIndex(0);
        click(*d, "Command3");
        QVERIFY(!d->isVisible());
        QTEST(MainFixture::time(*fx.form1), "time");
        QTEST(fx.form1->spinner(TimeField::Minutes)->value(), "minutesSpinner");
        QCOMPARE(storedPresets(section), keyed({preset, "00:00:09"}));
    }

    void aPresetThatIsNotATimeIsNotLoaded()
    {
        seedPresets(kCountdown, {"half past"});
        fx.setTime(*fx.form1, "00", "02", "00");
        auto d = open();
        click(*d, "Command3");
        QVERIFY(d->isVisible() && !MessageBox::shown().isEmpty());
        QCOMPARE(MainFixture::time(*fx.form1), QString("00:02:00"));
        QCOMPARE(storedPresets(kCountdown), keyed({"half past"}));
    }

    void presetTexts_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<bool>("wake");
        QTest::addColumn<QString>("fields"); // "" when refused
        QTest::newRow("countdown") << "99:59:01" << false << "99:59:01";
        QTest::newRow("wake capital") << "07:30:A" << true << "07:30:a";
        QTest::newRow("blanks around") << " 01:00:00 " << false << "01:00:00";
        QTest::newRow("wake in countdown") << "07:30:a" << false << "";
        QTest::newRow("wake hours past 12") << "13:00:a" << true << "";
        QTest::newRow("three digits") << "100:00:00" << false << "";
        QTest::newRow("sign") << "-1:00:00" << false << "";
    }
    void presetTexts()
    {
        QFETCH(QString, record);
        QFETCH(bool, wake);
        const std::optional<FieldTexts> t = Form3::parsePreset(record, wake);
        QTEST(t ? t->hours + ':' + t->minutes + ':' + t->seconds : QString(), "fields");
    }
};

QTEST_MAIN(Form3Test)
#include "tst_form3.moc"
