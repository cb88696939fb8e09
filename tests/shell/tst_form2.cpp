#include "shell/Form2.h"
#include "shell/kit/Artwork.h"
#include "shell/kit/Twips.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace zentimo;

namespace {

int openMessageWindows()
{
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (qobject_cast<Form2*>(w) && w->isVisible()) {
            ++count;
        }
    }
    return count;
}

void flushDeletes()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Lit LEDs are bright red; the board's unlit ones are dark.
bool stripShowsLitLeds(QWidget* strip)
{
    const QImage img = strip->grab().toImage();
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c.red() > 150 && c.green() < 110) {
                return true;
            }
        }
    }
    return false;
}

double meanLightness(const QImage& img)
{
    double sum = 0;
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            sum += img.pixelColor(x, y).lightnessF();
        }
    }
    return sum / (img.width() * img.height());
}

} // namespace

class TestForm2 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup();

    void alarmShowsShapedTopmostPanel();
    void secondAlarmRestartsTextInTheSameWindow();
    void scrollStepWrapsOnlyBelowMinusWidth_data();
    void scrollStepWrapsOnlyBelowMinusWidth();
    void timerScrollsWhileOpen();
    void closeButton_data();
    void closeButton();
    void closingAllWindowsAtExitEmitsQueryUnload();
    void laterAlarmLoadsAndShapesAgain();
    void stripShowsTheMessageOnlyWhereTheLabelIs();

    void panelSurroundIsNearWhiteAndHasNoPureRed();
    void pressedButtonIsDarker();
    void iconFilesAreWrittenPerSize();
};

void TestForm2::cleanup()
{
    if (Form2* form = Form2::current()) {
        form->close();
    }
    flushDeletes();
    QVERIFY(Form2::current() == nullptr);
}

void TestForm2::alarmShowsShapedTopmostPanel()
{
    Form2* form = Form2::ShowAlarm(QStringLiteral("Wake up!"));
    QVERIFY(form && form->isVisible());
    QCOMPARE(Form2::current(), form);
    QVERIFY(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QVERIFY(!form->mask().contains(QPoint(0, 0)));
    QVERIFY(form->mask().contains(QPoint(346, 62)));
    // The text starts just beyond the strip's right edge.
    QCOMPARE(form->labelLeftTwips(), form->stripScaleWidthTwips());
    QVERIFY(form->labelWidthTwips() > 0);
}

void TestForm2::secondAlarmRestartsTextInTheSameWindow()
{
    Form2* first = Form2::ShowAlarm(QStringLiteral("first"));
    for (int i = 0; i < 40; ++i) {
        first->scrollStep();
    }
    QVERIFY(first->labelLeftTwips() < first->stripScaleWidthTwips());

    Form2* second = Form2::ShowAlarm(QStringLiteral("second, longer message"));
    QCOMPARE(second, first);
    QCOMPARE(openMessageWindows(), 1);
    QCOMPARE(second->message(), QStringLiteral("second, longer message"));
    QCOMPARE(second->labelLeftTwips(), second->stripScaleWidthTwips());
}

void TestForm2::scrollStepWrapsOnlyBelowMinusWidth_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("leftPlusWidth"); // Left before the step, relative to -Width
    QTest::addColumn<bool>("wraps");

    QTest::newRow("reaching -Width exactly stays") << QStringLiteral("Alarm") << 25 << false;
    QTest::newRow("one twip past -Width wraps") << QStringLiteral("Alarm") << 24 << true;
    QTest::newRow("well inside the strip moves on") << QStringLiteral("Alarm") << 3000 << false;
    QTest::newRow("empty message stays at zero") << QString() << 25 << false;
    QTest::newRow("empty message wraps once below zero") << QString() << 10 << true;
}

void TestForm2::scrollStepWrapsOnlyBelowMinusWidth()
{
    QFETCH(QString, message);
    QFETCH(int, leftPlusWidth);
    QFETCH(bool, wraps);

    Form2* form = Form2::ShowAlarm(message);
    const int width = form->labelWidthTwips();
    QCOMPARE(message.isEmpty(), width == 0);
    form->setLabelLeftTwips(-width + leftPlusWidth);
    form->scrollStep();
    QCOMPARE(form->labelLeftTwips(), wraps ? form->stripScaleWidthTwips() : -width + leftPlusWidth - 25);
}

void TestForm2::timerScrollsWhileOpen()
{
    QPointer<Form2> form = Form2::ShowAlarm(QStringLiteral("tick"));
    auto* timer = form->findChild<QTimer*>(QStringLiteral("Timer1"));
    QVERIFY(timer && timer->isActive());
    const int start = form->labelLeftTwips();
    QTRY_VERIFY(form->labelLeftTwips() < start);

    form->close();
    QVERIFY(!timer->isActive());
    flushDeletes();
    QVERIFY(form.isNull());
}

void TestForm2::closeButton_data()
{
    QTest::addColumn<QPoint>("releaseAt");
    QTest::addColumn<bool>("closes");

    QTest::newRow("released on its last pixel closes") << QPoint(81, 69) << true;
    QTest::newRow("released just past its edge does not close") << QPoint(82, 35) << false;
}

void TestForm2::closeButton()
{
    QFETCH(QPoint, releaseAt);
    QFETCH(bool, closes);

    QPointer<Form2> form = Form2::ShowAlarm(QStringLiteral("Close me"));
    QSignalSpy unload(form.data(), &Form2::queryUnload);
    auto* button = form->findChild<QLabel*>(QStringLiteral("Pictureb"));
    const qint64 upImage = button->pixmap().cacheKey();

    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(40, 35));
    QVERIFY(button->pixmap().cacheKey() != upImage);

    QTest::mouseRelease(button, Qt::LeftButton, {}, releaseAt);
    QCOMPARE(unload.count(), closes ? 1 : 0);
    flushDeletes();
    QCOMPARE(form.isNull(), closes);
    if (!closes) {
        QVERIFY(form->isVisible());
        QCOMPARE(button->pixmap().cacheKey(), upImage);
    }
}

void TestForm2::closingAllWindowsAtExitEmitsQueryUnload()
{
    Form2* form = Form2::ShowAlarm(QStringLiteral("bye"));
    QSignalSpy unload(form, &Form2::queryUnload);
    QApplication::closeAllWindows();
    QCOMPARE(unload.count(), 1);
    QVERIFY(Form2::current() == nullptr);
}

void TestForm2::laterAlarmLoadsAndShapesAgain()
{
    QPointer<Form2> first = Form2::ShowAlarm(QStringLiteral("one"));
    first->close();
    flushDeletes();
    QVERIFY(first.isNull());

    Form2* second = Form2::ShowAlarm(QStringLiteral("two"));
    QCOMPARE(openMessageWindows(), 1);
    QVERIFY(second->mask().contains(QPoint(346, 62)) && !second->mask().contains(QPoint(0, 0)));
}

void TestForm2::stripShowsTheMessageOnlyWhereTheLabelIs()
{
    Form2* form = Form2::ShowAlarm(QStringLiteral("HELLO"));
    auto* strip = form->findChild<QWidget*>(QStringLiteral("Picture1"));
    QVERIFY(!stripShowsLitLeds(strip)); // still beyond the right edge
    form->setLabelLeftTwips(600);
    QVERIFY(stripShowsLitLeds(strip));
    // The text stands 30 twips below the strip's top, wholly inside it.
    const QRect text = form->findChild<QWidget*>(QStringLiteral("Label1"))->geometry();
    QCOMPARE(text.top(), twipsToPixels(30));
    QVERIFY(text.bottom() < strip->height());
    form->setLabelLeftTwips(-form->labelWidthTwips() - 1);
    QVERIFY(!stripShowsLitLeds(strip));
}

void TestForm2::panelSurroundIsNearWhiteAndHasNoPureRed()
{
    const QImage panel = messagePanelImage();
    QCOMPARE(panel.pixel(0, 0) & 0xFFFFFFu, 0xFEFEFEu);
    for (int y = 0; y < panel.height(); ++y) {
        for (int x = 0; x < panel.width(); ++x) {
            if ((panel.pixel(x, y) & 0xFFFFFFu) == 0xFF0000u) {
                QFAIL(qPrintable(QStringLiteral("pure red at %1,%2").arg(x).arg(y)));
            }
        }
    }
    QCOMPARE(panel.pixelColor(kMessageStripRect.center()), QColor(Qt::black));
}

void TestForm2::pressedButtonIsDarker()
{
    QVERIFY(meanLightness(closeButtonImage(true)) < meanLightness(closeButtonImage(false)));
}

void TestForm2::iconFilesAreWrittenPerSize()
{
    QTemporaryDir dir;
    bool ok = false;
    const QStringList files = writeProgramIcons(dir.path(), &ok);
    QVERIFY(ok);
    QCOMPARE(files.size(), programIconSizes().size());
    for (const int size : programIconSizes()) {
        const QImage img(QStringLiteral("%1/%2x%2/apps/zentimo.png").arg(dir.path()).arg(size));
        QCOMPARE(img.size(), QSize(size, size));
    }

    QFile blocker(dir.filePath(QStringLiteral("file")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    writeProgramIcons(blocker.fileName(), &ok);
    QVERIFY(!ok);
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
