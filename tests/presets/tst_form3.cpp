#include "dialogs/Form3.h"
#include "shell/MainFixture.h"

#include <QComboBox>

using namespace zentimo;
using namespace zentimo::test;

namespace {

const QString kCountdown = QStringLiteral("Countdown Presets");
const QString kWake = QStringLiteral("Wake Presets");

// The values in the order the registry file holds them; "name=value" where a key is out of sequence.
QStringList storedPresets(const QString& section)
{
    QStringList out;
    for (const auto& [name, value] : zentimoSettings().GetAllOptions(section))
        out << (name == QStringLiteral("Preset%1").arg(out.size()) ? value : name + '=' + value);
    return out;
}

} // namespace

class Form3Test : public QObject {
    Q_OBJECT
    MainFixture fx;

private Q_SLOTS:
    void init()
    {
        fx.prepare();
        fx.start(0);
    }
    void cleanup() { fx.teardown(); }

    // Add takes the shown time, Delete asks first, Load fills the fields when the preset is a time, Close
    // writes the list and the close box forgets the visit.
    void editsAndHowTheVisitEnds_data()
    {
        QTest::addColumn<bool>("wake");
        QTest::addColumn<QStringList>("seeded");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("steps"); // add, no, yes (Delete answered), load, close, x (the close box)
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<int>("selected");
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<int>("boxes");
        const QStringList none;
        const QStringList three{"00:00:01", "00:00:02", "00:00:03"};
        QStringList twelve; // falling, so that neither a sort by value nor one by key name keeps this order
        for (int i = 12; i >= 1; --i)
            twelve << QStringLiteral("00:%1:00").arg(i, 2, 10, QLatin1Char('0'));
        QTest::newRow("all zero is refused") << false << none << "00:00:00"
                                             << "add" << none << -1 << none << 1;
        QTest::newRow("delete unanswered keeps, then yes selects the last")
            << false << three << "00:00:00"
            << "no yes" << QStringList{"00:00:02", "00:00:03"} << 1 << three << 2;
        QTest::newRow("more than ten keep their order")
            << false << QStringList{"00:13:00"} + twelve << "00:00:00"
            << "yes close" << twelve << 11 << twelve << 1;
        QTest::newRow("an empty list removes the section") << false << QStringList{"00:05:00"} << "00:00:00"
                                                           << "yes close" << none << -1 << none << 1;
        QTest::newRow("load") << false << QStringList{"01:30:05", "00:00:09"} << "00:00:00"
                              << "load" << QStringList{"01:30:05", "00:00:09"} << 0
                              << QStringList{"01:30:05", "00:00:09"} << 0;
        QTest::newRow("load in wake leaves the spinners")
            << true << QStringList{"07:30:a"} << "01:00:p"
            << "load" << QStringList{"07:30:a"} << 0 << QStringList{"07:30:a"} << 0;
        QTest::newRow("not a time is refused")
            << false << QStringList{"half past"} << "00:00:00"
            << "load" << QStringList{"half past"} << 0 << QStringList{"half past"} << 1;
        QTest::newRow("the close box discards the visit")
            << false << QStringList{"00:01:00", "00:02:00"} << "00:09:00"
            << "yes add x" << QStringList{"00:02:00", "00:09:00"} << 1 << QStringList{"00:01:00", "00:02:00"}
            << 1;
    }
    void editsAndHowTheVisitEnds()
    {
        QFETCH(bool, wake);
        QFETCH(QStringList, seeded);
        QFETCH(QString, time);
        QFETCH(QString, steps);
        if (wake) {
            withOptions(*fx.engine, [&](Options& o) { o.WakeMode = true; });
            fx.engine->applyModeToFields();
        }
        for (int i = 0; i < seeded.size(); ++i)
            fx.seed(QStringLiteral("Preset%1").arg(i), seeded[i], wake ? kWake : kCountdown);
        fx.form1->spinner(TimeField::Minutes)->setValue(5);
        const QStringList parts = time.split(':');
        fx.setTime(*fx.form1, parts[0], parts[1], parts[2]);
        onNextModal([&](QWidget* modal) {
            auto* d = static_cast<Form3*>(modal);
            auto* combo = d->findChild<QComboBox*>("Combo1");
            QCOMPARE(combo->currentIndex(), int(seeded.size()) - 1); // the last
            combo->setCurrentIndex(0);                               // Delete and Load take the selected one
            for (const QString& step : steps.split(' ')) {
                if (step == "add") {
                    click(d, "Command1");
                } else if (step == "load") {
                    click(d, "Command3");
                } else if (step == "close") {
                    click(d, "Command4");
                    QVERIFY(!d->isVisible());
                } else if (step == "x") {
                    d->close();
                } else {
                    if (step == "yes")
                        MessageBox::queueAnswer(MessageBox::Answer::Yes);
                    click(d, "Command2");
                    QCOMPARE(MessageBox::shown().last().buttons, MessageBox::Buttons::YesNo);
                }
            }
            QTEST(d->presets(), "list");
            QTEST(combo->currentIndex(), "selected");
        });
        fx.app->runPresets(*fx.form1);
        QTEST(storedPresets(wake ? kWake : kCountdown), "stored");
        QTEST(int(MessageBox::shown().size()), "boxes");
        // The fields show the loaded preset; its minutes reach the spinner, but in Wake Mode the spinners
        // stay.
        const QString shown = steps == "load" && MessageBox::shown().isEmpty() ? seeded[0] : time;
        QCOMPARE(MainFixture::time(*fx.form1), shown);
        QCOMPARE(fx.form1->spinner(TimeField::Minutes)->value(), wake ? 5 : shown.mid(3, 2).toInt());
    }

    void presetTexts_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<bool>("wake");
        QTest::addColumn<QString>("fields"); // "" when refused
        QTest::newRow("countdown") << "99:59:01" << false << "99:59:01";
        QTest::newRow("wake capital") << "07:30:A" << true << "07:30:a";
        QTest::newRow("one digit parts, blanks around") << " 7:5:3 " << false << "07:05:03";
        QTest::newRow("wake in countdown") << "07:30:a" << false << "";
        QTest::newRow("wake hours past 12") << "13:00:a" << true << "";
        QTest::newRow("three digits") << "100:00:00" << false << "";
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
