#include "dialogs/Form4.h"
#include "shell/MainFixture.h"

using namespace zentimo;
using namespace zentimo::test;

static int checkedIndex(QWidget* root, const char* name)
{
    for (auto* b : root->findChildren<QRadioButton*>(QString::fromLatin1(name)))
        if (b->isChecked())
            return b->property("index").toInt();
    return -1;
}

struct Visit {
    const char* name;
    std::vector<std::pair<const char*, const char*>> seeds = {}; // key, value
    int markedBackground, markedDigit, markedButton; // the index marked in each group, -1 for none
    std::vector<Click> clicks = {}; // then OK, then the dialog is shown again and left by reopenedLeftBy
    const char* reopenedLeftBy;
    std::optional<ColorChoice> chosen;
};

Q_DECLARE_METATYPE(Visit)

// clang-format off
static const Visit visits[] = {
    {.name = "system colours, taken twice",
     .seeds = {{"Background Color", "6"}, {"Digit Color", "255"}, {"Button Color", "-2147483633"}},
     .markedBackground = 6, .markedDigit = 5, .markedButton = 6, .reopenedLeftBy = "Command2",
     .chosen = ColorChoice{.BackgroundIndex = 6, .DigitColor = 0x000000FF, .ButtonColor = int(0x8000000F)}},
    {.name = "odd stored background, none chosen",
     .seeds = {{"Background Color", "9"}, {"Digit Color", "16777215"}, {"Button Color", "65535"}},
     .markedBackground = -1, .markedDigit = 3, .markedButton = 0,
     .clicks = {{"Option1", 3}, {"Option3", 6}}, .reopenedLeftBy = "Command2",
     .chosen = ColorChoice{.BackgroundIndex = -1, .DigitColor = 0x00FFFFFF, .ButtonColor = int(0x8000000F)}},
    {.name = "the first colour of each list",
     .seeds = {{"Digit Color", "255"}, {"Button Color", "255"}},
     .markedBackground = 5, .markedDigit = 5, .markedButton = 4,
     .clicks = {{"Option1", 0}, {"Option3", 0}}, .reopenedLeftBy = "Command2",
     .chosen = ColorChoice{.BackgroundIndex = 5, .DigitColor = 0x0000FFFF, .ButtonColor = 0x00FF00FF}},
    {.name = "cancel drops an earlier OK", .markedBackground = 5, .markedDigit = 0, .markedButton = 0,
     .clicks = {{"Option1", 1}, {"Command3", 0}}, .reopenedLeftBy = "Command1", .chosen = std::nullopt},
};
// clang-format on

class Form4Test : public QObject {
    Q_OBJECT
    MainFixture fx;

private Q_SLOTS:
    void init() { fx.prepare(); }
    void cleanup() { fx.teardown(); }

    void loadAndHandOver_data() { addRows(visits); }
    void loadAndHandOver()
    {
        QFETCH(Visit, row);
        for (const auto& [key, value] : row.seeds)
            fx.seed(key, value);
        fx.start(0);
        auto colors = std::make_unique<Form4>(fx.app->storedColors(), fx.form1);
        colors->show();
        QCOMPARE(checkedIndex(colors.get(), "Option2"), row.markedBackground);
        QCOMPARE(checkedIndex(colors.get(), "Option1"), row.markedDigit);
        QCOMPARE(checkedIndex(colors.get(), "Option3"), row.markedButton);
        for (const Click& c : row.clicks)
            click(colors.get(), c.name, c.index);
        click(colors.get(), "Command2");
        QCOMPARE(colors->result(), int(QDialog::Accepted));
        colors->show();
        click(colors.get(), row.reopenedLeftBy);
        QCOMPARE(colors->answer().has_value(), row.chosen.has_value());
        const ColorChoice got = colors->answer().value_or(ColorChoice{});
        const ColorChoice want = row.chosen.value_or(ColorChoice{});
        QCOMPARE(got.BackgroundIndex, want.BackgroundIndex);
        QCOMPARE(got.DigitColor, want.DigitColor);
        QCOMPARE(got.ButtonColor, want.ButtonColor);
    }

    // Return takes OK from a colour's choice.
    void returnIsOk()
    {
        fx.start(0);
        Form4 colors(fx.app->storedColors(), fx.form1);
        colors.show();
        QVERIFY(!colors.windowFlags().testFlag(Qt::WindowContextHelpButtonHint)); // KWin would show a "?"
        QTest::keyClick(colors.findChildren<QRadioButton*>("Option1").first(), Qt::Key_Return);
        QCOMPARE(colors.result(), int(QDialog::Accepted));
    }

    // A background picture is taken by the left button only, once it is released over it.
    void aPictureTakesTheLeftButton()
    {
        fx.start(0);
        Form4 colors(fx.app->storedColors(), fx.form1);
        colors.show();
        auto* picture = ctl<QWidget>(&colors, "Picture1");
        QTest::mouseClick(picture, Qt::RightButton);
        QTest::mousePress(picture, Qt::LeftButton); // a press alone, as the start of a drag away
        QCOMPARE(checkedIndex(&colors, "Option2"), 5);
        QTest::mouseRelease(picture, Qt::LeftButton);
        QCOMPARE(checkedIndex(&colors, "Option2"), 0);
    }
};

QTEST_MAIN(Form4Test)
#include "tst_form4.moc"
