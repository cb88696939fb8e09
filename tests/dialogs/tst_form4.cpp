#include "DialogFixture.h"
#include "dialogs/Form4.h"

#include <QRadioButton>

using namespace zentimo;
using namespace zentimo::test;

namespace {

// The index of the checked option of an array, or -1.
int checkedIndex(QWidget* root, const char* name, int count)
{
    int found = -1;
    for (int i = 0; i < count; ++i) {
        auto* b = ctl<QRadioButton>(root, name, i);
        if (b && b->isChecked()) {
            if (found >= 0)
                return -2; // two at once: the group is broken
            found = i;
        }
    }
    return found;
}

} // namespace

class Form4Test : public QObject {
    Q_OBJECT
    MainFixture fx;
    std::unique_ptr<Form4> openColors()
    {
        auto colors = std::make_unique<Form4>(fx.form1);
        colors->show();
        return colors;
    }

private Q_SLOTS:
    void init() { fx.prepare(); }
    void cleanup() { fx.teardown(); }

    void loadMarksTheStoredChoices_data()
    {
        QTest::addColumn<QString>("background");
        QTest::addColumn<QString>("digits");
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<int>("backgroundIndex");
        QTest::addColumn<int>("digitIndex");
        QTest::addColumn<int>("buttonIndex");
        const auto row = [](const char* tag, const QString& bg, const QString& dig, const QString& btn, int b,
                            int d, int c) { QTest::newRow(tag) << bg << dig << btn << b << d << c; };
        const QString none = "<missing>";
        row("first start", none, none, none, 5, 0, 0);
        row("blue, cyan, light blue", "2", "16776960", "16744576", 2, 2, 1);
        row("system colours", "6", "255", "-2147483633", 6, 5, 6);
        row("background out of range", "9", "16777215", "65535", -1, 3, 0);
    }
    void loadMarksTheStoredChoices()
    {
        QFETCH(QString, background);
        QFETCH(QString, digits);
        QFETCH(QString, buttons);
        QFETCH(int, backgroundIndex);
        QFETCH(int, digitIndex);
        QFETCH(int, buttonIndex);
        if (background != "<missing>")
            fx.seed("Background Color", background);
        if (digits != "<missing>")
            fx.seed("Digit Color", digits);
        if (buttons != "<missing>")
            fx.seed("Button Color", buttons);
        fx.start(0);
        auto colors = openColors();
        QCOMPARE(checkedIndex(colors.get(), "Option2", 7), backgroundIndex);
        QCOMPARE(checkedIndex(colors.get(), "Option1", 6), digitIndex);
        QCOMPARE(checkedIndex(colors.get(), "Option3", 7), buttonIndex);
    }

    void okHandsOverWhatIsSelected_data()
    {
        QTest::addColumn<QString>("storedBackground");
        QTest::addColumn<int>("digit");
        QTest::addColumn<int>("picture"); // 0: leave the background alone
        QTest::addColumn<int>("button");
        QTest::addColumn<int>("newDigit");
        QTest::addColumn<int>("newBackground");
        QTest::addColumn<int>("newButton");
        QTest::newRow("as loaded") << "5" << 0 << 0 << 0 << 0x0000FFFF << 5 << 0x00FF00FF;
        QTest::newRow("cyan on blue, light blue") << "5" << 2 << 3 << 1 << 0x00FFFF00 << 2 << 0x00FF8080;
        QTest::newRow("odd stored background, none chosen")
            << "17" << 3 << 0 << 6 << 0x00FFFFFF << -1 << int(0x8000000F);
    }
    void okHandsOverWhatIsSelected()
    {
        QFETCH(QString, storedBackground);
        QFETCH(int, digit);
        QFETCH(int, picture);
        QFETCH(int, button);
        QFETCH(int, newDigit);
        QFETCH(int, newBackground);
        QFETCH(int, newButton);
        fx.seed("Background Color", storedBackground);
        fx.start(0);
        auto colors = openColors();
        click(colors.get(), "Option1", digit);
        if (picture > 0) {
            QTest::mouseClick(ctl<QWidget>(colors.get(), qPrintable(QString("Picture%1").arg(picture))),
                              Qt::LeftButton);
        }
        if (button < 6)
            click(colors.get(), "Command3", button);
        else
            click(colors.get(), "Option3", button);
        click(colors.get(), "Command2");
        QCOMPARE(colors->result(), int(QDialog::Accepted));
        QCOMPARE(colors->choice()->DigitColor, newDigit);
        QCOMPARE(colors->choice()->BackgroundIndex, newBackground);
        QCOMPARE(colors->choice()->ButtonColor, newButton);
    }

    void cancelDropsAnEarlierOk()
    {
        fx.start(0);
        auto colors = openColors();
        click(colors.get(), "Option1", 1);
        click(colors.get(), "Command2");
        QCOMPARE(colors->choice()->DigitColor, std::int32_t(0x00FF00FF));
        colors->show();
        click(colors.get(), "Command1");
        QCOMPARE(colors->result(), int(QDialog::Rejected));
        QVERIFY(!colors->choice());
    }
};

QTEST_MAIN(Form4Test)
#include "tst_form4.moc"
