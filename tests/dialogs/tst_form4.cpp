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

class Form4Test : public QObject {
    Q_OBJECT
    MainFixture fx;

private Q_SLOTS:
    void init() { fx.prepare(); }
    void cleanup() { fx.teardown(); }

    // stored: background, digits, buttons ("": none); marked: the option marked in each group (-1: none);
    // clicks: digit option, background picture (0: none), button (6: the system colour option), and a fourth
    // -1 to cancel after the OK; chosen: digit colour, background index and button colour handed over.
    void loadAndHandOver_data()
    {
        QTest::addColumn<QStringList>("stored");
        QTest::addColumn<QList<int>>("marked");
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<QList<int>>("chosen");
        const QStringList none{"", "", ""};
        QTest::newRow("system colours") << QStringList{"6", "255", "-2147483633"} << QList<int>{6, 5, 6}
                                        << QList<int>{} << QList<int>{0x000000FF, 6, int(0x8000000F)};
        QTest::newRow("odd stored background, none chosen")
            << QStringList{"9", "16777215", "65535"} << QList<int>{-1, 3, 0} << QList<int>{3, 0, 6}
            << QList<int>{0x00FFFFFF, -1, int(0x8000000F)};
        QTest::newRow("cancel drops an earlier OK")
            << none << QList<int>{5, 0, 0} << QList<int>{1, 0, 0, -1} << QList<int>{};
    }
    void loadAndHandOver()
    {
        QFETCH(QStringList, stored);
        QFETCH(QList<int>, clicks);
        const QStringList keys{"Background Color", "Digit Color", "Button Color"};
        for (int i = 0; i < keys.size(); ++i) {
            if (!stored[i].isEmpty())
                fx.seed(keys[i], stored[i]);
        }
        fx.start(0);
        auto colors = std::make_unique<Form4>(fx.app->storedColors(), fx.form1);
        colors->show();
        QTEST((QList<int>{checkedIndex(colors.get(), "Option2"), checkedIndex(colors.get(), "Option1"),
                          checkedIndex(colors.get(), "Option3")}),
              "marked");
        if (!clicks.isEmpty()) {
            click(colors.get(), "Option1", clicks[0]);
            if (clicks[1] > 0)
                QTest::mouseClick(ctl<QWidget>(colors.get(), qPrintable(QString("Picture%1").arg(clicks[1]))),
                                  Qt::LeftButton);
            click(colors.get(), clicks[2] < 6 ? "Command3" : "Option3", clicks[2]);
        }
        click(colors.get(), "Command2");
        QCOMPARE(colors->result(), int(QDialog::Accepted));
        if (clicks.value(3) < 0) {
            colors->show();
            click(colors.get(), "Command1");
            QCOMPARE(colors->result(), int(QDialog::Rejected));
        }
        const auto c = colors->answer();
        const QList<int> chosen =
            c ? QList<int>{c->DigitColor, c->BackgroundIndex, c->ButtonColor} : QList<int>();
        QTEST(chosen, "chosen");
    }
};

QTEST_MAIN(Form4Test)
#include "tst_form4.moc"
