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

// What a visit to the dialog does, button by button. Delete asks first: no answer queued is No.
void deleteAnswered(Form3& d, bool yes)
{
    if (yes)
        MessageBox::queueAnswer(MessageBox::Answer::Yes);
    click(&d, "Command2");
    QCOMPARE(MessageBox::shown().last().buttons, MessageBox::Buttons::YesNo);
}
const auto add = [](Form3& d) { click(&d, "Command1"); };
const auto load = [](Form3& d) { click(&d, "Command3"); };
const auto noThenYes = [](Form3& d) {
    deleteAnswered(d, false);
    deleteAnswered(d, true);
};
const auto yesThenClose = [](Form3& d) {
    deleteAnswered(d, true);
    click(&d, "Command4");
    QVERIFY(!d.isVisible());
};
const auto yesAddThenCloseBox = [](Form3& d) {
    deleteAnswered(d, true);
    add(d);
    d.close();
};

struct Visit {
    const char* name;
    bool wake = false;
    QStringList seeded = {};
    const char* time = "00:00:00"; // in the fields when the dialog opens
    void (*steps)(Form3&);
    QStringList list = {}; // in the dialog at its end
    int selected;
    QStringList stored = {};
    int boxes;                      // message boxes shown
    const char* shown = "00:00:00"; // in the fields afterwards
    int minutes = 0;                // the minutes spinner afterwards
};

} // namespace

Q_DECLARE_METATYPE(Visit)

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
        const QStringList three{"00:00:01", "00:00:02", "00:00:03"};
        QStringList twelve; // falling, so that neither a sort by value nor one by key name keeps this order
        for (int i = 12; i >= 1; --i)
            twelve << QStringLiteral("00:%1:00").arg(i, 2, 10, QLatin1Char('0'));
        // clang-format off
        const Visit rows[] = {
            {.name = "all zero is refused", .steps = add, .selected = -1, .boxes = 1},
            {.name = "delete unanswered keeps, then yes selects the last", .seeded = three, .steps = noThenYes,
             .list = {"00:00:02", "00:00:03"}, .selected = 1, .stored = three, .boxes = 2},
            {.name = "more than ten keep their order", .seeded = QStringList{"00:13:00"} + twelve,
             .steps = yesThenClose, .list = twelve, .selected = 11, .stored = twelve, .boxes = 1},
            {.name = "an empty list removes the section", .seeded = {"00:05:00"}, .steps = yesThenClose,
             .selected = -1, .boxes = 1},
            {.name = "load", .seeded = {"01:30:05", "00:00:09"}, .steps = load, .list = {"01:30:05", "00:00:09"},
             .selected = 0, .stored = {"01:30:05", "00:00:09"}, .boxes = 0, .shown = "01:30:05", .minutes = 30},
            // The loaded minutes reach the spinner, but in Wake Mode the spinners stay.
            {.name = "load in wake leaves the spinners", .wake = true, .seeded = {"07:30:a"}, .time = "01:00:p",
             .steps = load, .list = {"07:30:a"}, .selected = 0, .stored = {"07:30:a"}, .boxes = 0,
             .shown = "07:30:a", .minutes = 5},
            {.name = "not a time is refused", .seeded = {"half past"}, .steps = load, .list = {"half past"},
             .selected = 0, .stored = {"half past"}, .boxes = 1},
            {.name = "the close box discards the visit", .seeded = {"00:01:00", "00:02:00"}, .time = "00:09:00",
             .steps = yesAddThenCloseBox, .list = {"00:02:00", "00:09:00"}, .selected = 1,
             .stored = {"00:01:00", "00:02:00"}, .boxes = 1, .shown = "00:09:00", .minutes = 9},
        };
        // clang-format on
        addRows(rows);
    }
    void editsAndHowTheVisitEnds()
    {
        QFETCH(Visit, row);
        const QString section = row.wake ? kWake : kCountdown;
        withOptions(*fx.engine, [&](Options& o) { o.WakeMode = row.wake; });
        fx.engine->applyModeToFields();
        for (int i = 0; i < row.seeded.size(); ++i)
            fx.seed(QStringLiteral("Preset%1").arg(i), row.seeded[i], section);
        fx.form1->spinner(TimeField::Minutes)->setValue(5);
        const QStringList parts = QString(row.time).split(':');
        fx.setTime(*fx.form1, parts[0], parts[1], parts[2]);
        onNextModal([&](QWidget* modal) {
            auto* d = static_cast<Form3*>(modal);
            auto* combo = d->findChild<QComboBox*>("Combo1");
            QCOMPARE(combo->currentIndex(), int(row.seeded.size()) - 1); // the last
            combo->setCurrentIndex(0);     // Delete and Load take the selected one
            QTest::keyClicks(combo, "zz"); // a list to pick from, not a box to type into
            QCOMPARE(combo->currentText(), combo->itemText(combo->currentIndex()));
            row.steps(*d);
            QCOMPARE(d->presets(), row.list);
            QCOMPARE(combo->currentIndex(), row.selected);
            // Delete and Load are offered while there is a preset to take.
            for (const char* button : {"Command2", "Command3"})
                QCOMPARE(d->findChild<QPushButton*>(button)->isEnabled(), !row.list.isEmpty());
        });
        fx.app->runPresets(*fx.form1);
        QCOMPARE(storedPresets(section), row.stored);
        QCOMPARE(int(MessageBox::shown().size()), row.boxes);
        QCOMPARE(MainFixture::time(*fx.form1), QString(row.shown));
        QCOMPARE(fx.form1->spinner(TimeField::Minutes)->value(), row.minutes);
    }

    // A record is a time only when each part is one of its mode's; a single digit gains its zero.
    void whichRecordsAreTimes()
    {
        QVERIFY(Form3::parsePreset(" 7:5:9 ", false) == (FieldTexts{"07", "05", "09"}));
        QVERIFY(Form3::parsePreset("99:99:99", false) == (FieldTexts{"99", "99", "99"}));
        QVERIFY(Form3::parsePreset("12:59:P", true) == (FieldTexts{"12", "59", "p"}));
        for (const char* refused : {"13:00:p", "12:60:a", "ab:00:a", "12:5x:a", "01:00:m"})
            QVERIFY2(!Form3::parsePreset(refused, true), refused);
        for (const char* refused : {"100:00:00", "00:00:1x", "00:00"})
            QVERIFY2(!Form3::parsePreset(refused, false), refused);
    }
};

QTEST_MAIN(Form3Test)
#include "tst_form3.moc"
