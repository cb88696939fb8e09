#include "dialogs/Form4.h"
#include "shell/MainFixture.h"

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
        QTest::addColumn<QStringList>("stored"); // background, digits, buttons; "": none stored
        QTest::addColumn<QList<int>>("marked");  // the option marked in each group; -1: none
        QTest::newRow("first start") << QStringList{"", "", ""} << QList<int>{5, 0, 0};
        QTest::newRow("blue, cyan, light blue")
            << QStringList{"2", "16776960", "16744576"} << QList<int>{2, 2, 1};
        QTest::newRow("system colours") << QStringList{"6", "255", "-2147483633"} << QList<int>{6, 5, 6};
        QTest::newRow("background out of range")
            << QStringList{"9", "16777215", "65535"} << QList<int>{-1, 3, 0};
    }
    void loadMarksTheStoredChoices()
    {
        QFETCH(QStringList, stored);
        const QStringList keys{"Background Color", "Digit Color", "Button Color"};
        for (int i = 0; i < keys.size(); ++i) {
            if (!stored[i].isEmpty())
                fx.seed(keys[i], stored[i]);
        }
        fx.start(0);
        auto colors = openColors();
        QTEST((QList<int>{checkedIndex(colors.get(), "Option2", 7), checkedIndex(colors.get(), "Option1", 6),
                          checkedIndex(colors.get(), "Option3", 7)}),
              "marked");
    }

    void okHandsOverWhatIsSelected_data()
    {
        QTest::addColumn<QString>("storedBackground");
        QTest::addColumn<int>("digit");
        QTest::addColumn<int>("picture"); // 0: leave the background alone
        QTest::addColumn<int>("button");
        QTest::addColumn<QList<int>>("chosen"); // digit colour, background index, button colour
        QTest::newRow("as loaded") << "5" << 0 << 0 << 0 << QList<int>{0x0000FFFF, 5, 0x00FF00FF};
        QTest::newRow("cyan on blue, light blue")
            << "5" << 2 << 3 << 1 << QList<int>{0x00FFFF00, 2, 0x00FF8080};
        QTest::newRow("odd stored background, none chosen")
            << "17" << 3 << 0 << 6 << QList<int>{0x00FFFFFF, -1, int(0x8000000F)};
    }
    void okHandsOverWhatIsSelected()
    {
        QFETCH(QString, storedBackground);
        QFETCH(int, digit);
        QFETCH(int, picture);
        QFETCH(int, button);
        fx.seed("Background Color", storedBackground);
        fx.start(0);
        auto colors = openColors();
        click(colors.get(), "Option1", digit);
        if (picture > 0)
            QTest::mouseClick(ctl<QWidget>(colors.get(), qPrintable(QString("Picture%1").arg(picture))),
                              Qt::LeftButton);
        click(colors.get(), button < 6 ? "Command3" : "Option3", button);
        click(colors.get(), "Command2");
        QCOMPARE(colors->result(), int(QDialog::Accepted));
        const auto c = colors->choice().value();
        QTEST((QList<int>{c.DigitColor, c.BackgroundIndex, c.ButtonColor}), "chosen");
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
