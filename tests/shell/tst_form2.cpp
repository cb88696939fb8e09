#include "platform/SilentWindowSystem.h"
#include "shell/Accessibility.h"
#include "shell/Form2.h"
#include "shell/FrmAbt.h"
#include "shell/cTrimmer.h"
#include "shell/kit/Artwork.h"
#include "shell/kit/Twips.h"

#include <QAccessible>
#include <QLabel>
#include <QTest>

using namespace zentimo;

class TestForm2 : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { installAccessibleRoles(); }
    void cleanup()
    {
        if (Form2* form = Form2::current())
            form->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(Form2::current() == nullptr);
        WindowSystem::install(nullptr);
    }

    void alarmShowsShapedTopmostPanel()
    {
        Form2* form = Form2::ShowAlarm(QStringLiteral("Wake up!"));
        QVERIFY(form && form->isVisible());
        QCOMPARE(Form2::current(), form);
        QVERIFY(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        // What a screen reader speaks as it shows, focused or not.
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(form);
        QCOMPARE(spoken->role(), QAccessible::Notification);
        QCOMPARE(spoken->text(QAccessible::Name), QStringLiteral("Wake up!"));
        // Desktops hide the tool windows of a program that is not the active one (KWin by default).
        QCOMPARE(form->windowType(), Qt::Window);
        QCOMPARE(FrmAbt().windowType(), Qt::Dialog);
        for (const QPoint& corner :
             {QPoint(0, 0), QPoint(691, 0), QPoint(0, 123), QPoint(691, 123), QPoint(2, 2)})
            QVERIFY(!form->mask().contains(corner));
        QCOMPARE(form->mask().intersected(kMessageStripRect), QRegion(kMessageStripRect));
        QCOMPARE(form->mask().intersected(kCloseButtonRect), QRegion(kCloseButtonRect));
        // The text comes in from just beyond the strip's right edge, 25 twips a step, 30 twips below its top.
        QCOMPARE(form->labelLeftTwips(), form->stripScaleWidthTwips());
        form->scrollStep();
        QCOMPARE(form->labelLeftTwips(), form->stripScaleWidthTwips() - 25);
        const QRect text = form->findChild<QWidget*>(QStringLiteral("Label1"))->geometry();
        QCOMPARE(text.top(), twipsToPixels(30));
        QVERIFY(text.bottom() < form->findChild<QWidget*>(QStringLiteral("Picture1"))->height());

        auto* close = form->findChild<QLabel*>(QStringLiteral("Pictureb"));
        QTest::mousePress(close, Qt::LeftButton); // drawn pressed while held
        QCOMPARE(close->pixmap().toImage(), QPixmap::fromImage(closeButtonImage(true)).toImage());
        form->setLabelLeftTwips(0);
        QCOMPARE(Form2::ShowAlarm(QStringLiteral("second, longer message")), form);
        QCOMPARE(form->message(), QStringLiteral("second, longer message"));
        QCOMPARE(form->labelLeftTwips(), form->stripScaleWidthTwips());
        // Deleted without being closed, as when its owner goes first: the next alarm makes a new panel.
        delete form;
        QVERIFY(Form2::current() == nullptr);
    }

    // Where the screen is composited the near-white surround is left out of the drawing as well: a Wayland
    // compositor applies no mask to what it shows.
    void composedScreenShowsOnlyThePanel()
    {
        WindowSystem::install(
            std::make_unique<SilentWindowSystem>(SilentWindowSystem::Abilities{.translucent = true}));
        Form2* form = Form2::ShowAlarm(QStringLiteral("Wake up!"));
        const QImage drawn = form->grab().toImage();
        for (const QPoint& corner : {QPoint(0, 0), QPoint(691, 123), QPoint(2, 2)})
            QCOMPARE(qAlpha(drawn.pixel(corner)), 0);
        QCOMPARE(qAlpha(drawn.pixel(kMessageStripRect.center())), 255);
        QCOMPARE(qAlpha(drawn.pixel(kCloseButtonRect.center())), 255);
        QTest::mouseClick(form->findChild<QLabel*>(QStringLiteral("Pictureb")), Qt::LeftButton); // closes it
        QVERIFY(!form->isVisible());
    }

    // A hole splits a row's run; a run reaching the right edge ends there, nothing past the row read.
    void runsOfARow()
    {
        QImage img(4, 2, QImage::Format_RGB32);
        img.fill(qRgb(180, 182, 186));
        img.setPixel(0, 0, qRgb(254, 254, 254)); // the background
        img.setPixel(1, 1, qRgb(254, 254, 254));
        QCOMPARE(cTrimmer::regionFor(img, qRgb(255, 0, 0)),
                 QRegion(1, 0, 3, 1) + QRegion(0, 1, 1, 1) + QRegion(2, 1, 2, 1));
    }
};

QTEST_MAIN(TestForm2)
#include "tst_form2.moc"
