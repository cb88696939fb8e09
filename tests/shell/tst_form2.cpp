#include "shell/Artwork.h"
#include "shell/Form2.h"

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
    void picturesHaveTheirSizesAndPressedButtonIsDarker();
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
    QVERIFY(form);
    QCOMPARE(Form2::current(), form);
    QVERIFY(form->isVisible());
    QCOMPARE(form->size(), QSize(692, 124));
    const Qt::WindowFlags flags = form->windowFlags();
    QVERIFY(flags.testFlag(Qt::FramelessWindowHint));
    QVERIFY(flags.testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(form->windowType(), Qt::Tool);
    QCOMPARE(form->backColor(), 0x000000FFu);

    QVERIFY(!form->mask().contains(QPoint(0, 0)));
    QVERIFY(form->mask().contains(QPoint(346, 62)));

    auto* strip = form->findChild<QWidget*>(QStringLiteral("Picture1"));
    auto* label = form->findChild<QWidget*>(QStringLiteral("Label1"));
    auto* button = form->findChild<QLabel*>(QStringLiteral("Pictureb"));
    QVERIFY(strip && label && button);
    QCOMPARE(strip->geometry(), QRect(30, 48, 521, 47));
    QCOMPARE(label->parentWidget(), strip);
    QCOMPARE(button->geometry(), QRect(584, 32, 82, 70));
    QCOMPARE(form->closeButtonImageIndex(), 1);

    QCOMPARE(form->message(), QStringLiteral("Wake up!"));
    QCOMPARE(form->stripScaleWidthTwips(), 7815);
    QCOMPARE(form->labelLeftTwips(), 7815);
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
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 16);
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

    QTest::newRow("released over the button closes") << QPoint(40, 35) << true;
    QTest::newRow("released on its last pixel closes") << QPoint(81, 69) << true;
    QTest::newRow("released outside does not close") << QPoint(120, 35) << false;
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
    QCOMPARE(form->closeButtonImageIndex(), 2);
    QVERIFY(button->pixmap().cacheKey() != upImage);
    QVERIFY(form->isVisible());

    QTest::mouseRelease(button, Qt::LeftButton, {}, releaseAt);
    QCOMPARE(unload.count(), closes ? 1 : 0);
    flushDeletes();
    if (closes) {
        QVERIFY(form.isNull());
        QVERIFY(Form2::current() == nullptr);
    } else {
        QVERIFY(!form.isNull());
        QVERIFY(form->isVisible());
        QCOMPARE(Form2::current(), form.data());
        QCOMPARE(form->closeButtonImageIndex(), 1);
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
    QVERIFY(second);
    QCOMPARE(openMessageWindows(), 1);
    QVERIFY(!second->mask().isEmpty());
    QVERIFY(!second->mask().contains(QPoint(0, 0)));
    QCOMPARE(second->closeButtonImageIndex(), 1);
}

void TestForm2::stripShowsTheMessageOnlyWhereTheLabelIs()
{
    Form2* form = Form2::ShowAlarm(QStringLiteral("HELLO"));
    auto* strip = form->findChild<QWidget*>(QStringLiteral("Picture1"));
    QVERIFY(!stripShowsLitLeds(strip)); // still beyond the right edge
    form->setLabelLeftTwips(600);
    QVERIFY(stripShowsLitLeds(strip));
    form->setLabelLeftTwips(-form->labelWidthTwips() - 1);
    QVERIFY(!stripShowsLitLeds(strip));
}

void TestForm2::panelSurroundIsNearWhiteAndHasNoPureRed()
{
    const QImage panel = messagePanelImage();
    QCOMPARE(panel.size(), QSize(692, 124));
    QCOMPARE(panel.pixel(0, 0) & 0xFFFFFFu, 0xFEFEFEu);
    for (int y = 0; y < panel.height(); ++y) {
        for (int x = 0; x < panel.width(); ++x) {
            if ((panel.pixel(x, y) & 0xFFFFFFu) == 0xFF0000u) {
                QFAIL(qPrintable(QStringLiteral("pure red at %1,%2").arg(x).arg(y)));
            }
        }
    }
    const QColor strip = panel.pixelColor(kMessageStripRect.center());
    QCOMPARE(strip, QColor(Qt::black));
}

void TestForm2::picturesHaveTheirSizesAndPressedButtonIsDarker()
{
    QCOMPARE(closeButtonImage(false).size(), QSize(82, 70));
    QCOMPARE(closeButtonImage(true).size(), QSize(82, 70));
    QVERIFY(meanLightness(closeButtonImage(true)) < meanLightness(closeButtonImage(false)));
    QCOMPARE(productLogo().size(), QSize(138, 72));
    const QList<QSize> sizes = programIcon().availableSizes();
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
    }
}

void TestForm2::iconFilesAreWrittenPerSize()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
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
    blocker.close();
    writeProgramIcons(blocker.fileName(), &ok);
    QVERIFY(!ok);
}

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
