// Each window as a user first sees it, against its kept picture: a control moved, resized, hidden or
// recoloured fails here.

#include "KeptPicture.h"
#include "dialogs/Form3.h"
#include "dialogs/Form4.h"
#include "dialogs/Form5.h"
#include "shell/Form2.h"
#include "shell/FrmAbt.h"
#include "shell/MainFixture.h"

#include <QStyleHints>

using namespace zentimo;
using namespace zentimo::test;

struct Look {
    const char* name;
    int size = 0; // of the main window
    QImage (*draw)(MainFixture&);
};
Q_DECLARE_METATYPE(Look)

template <class Dialog> QImage shown(Dialog&& dialog)
{
    dialog.show();
    return dialog.grab().toImage();
}

const QString kLongerThanItsLabel = QStringLiteral("/home/ann/Music/Alarms/The one that wakes me up.wav");

// clang-format off
static const Look looks[] = {
    {.name = "small", .draw = [](MainFixture& fx) { return fx.form1->grab().toImage(); }},
    {.name = "big", .size = 1, .draw = [](MainFixture& fx) { return fx.big().grab().toImage(); }},
    {.name = "options", .draw = [](MainFixture& fx) {
        withOptions(*fx.engine, [](Options& o) { o.UseBuiltIn = false, o.SoundFile = kLongerThanItsLabel; });
        return shown(Form5(fx.app->optionsForDialog(), fx.app->storedColors(), *fx.sound, fx.form1)); }},
    {.name = "colors", .draw = [](MainFixture& fx) { return shown(Form4(fx.app->storedColors(), fx.form1)); }},
    {.name = "presets", .draw = [](MainFixture& fx) {
        return shown(Form3({.presets = {"00:05:00", "01:30:00"}, .shown = {"00", "05", "00"}}, fx.form1)); }},
    {.name = "about", .draw = [](MainFixture&) { return shown(FrmAbt()); }},
    {.name = "alarm", .draw = [](MainFixture&) {
        Form2* panel = Form2::ShowAlarm("Hot tea is ready");
        panel->setLabelLeftTwips(15); // a pixel in: the text waits for the next whole LED
        return panel->grab().toImage(); }},
};
// clang-format on

class LooksTest : public QObject {
    Q_OBJECT
    MainFixture fx;

private Q_SLOTS:
    void initTestCase() { QGuiApplication::styleHints()->setCursorFlashTime(0); } // a cursor that stays
    void init() { fx.prepare(); }
    void cleanup()
    {
        delete Form2::current();
        fx.teardown();
    }

    void eachWindowAsKept_data() { addRows(looks); }
    void eachWindowAsKept()
    {
        QFETCH(Look, row);
        fx.start(row.size);
        compareWithKept(row.draw(fx), QStringLiteral("window-") + row.name);
    }
};

QTEST_MAIN(LooksTest)
#include "tst_looks.moc"
