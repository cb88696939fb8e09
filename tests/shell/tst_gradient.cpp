#include "shell/kit/GradientMod.h"
#include "shell/kit/Twips.h"

#include <QApplication>
#include <QPalette>
#include <QTest>
#include <QWidget>

using namespace zentimo;

namespace {

const QColor kFace(212, 208, 200);

QColor colourAtRow(QWidget* widget, int y)
{
    return widget->grab().toImage().pixelColor(widget->width() / 2, y);
}

} // namespace

class TestGradient : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void bandsFromTheTop_data()
    {
        QTest::addColumn<double>("outer");
        QTest::addColumn<int>("height");
        QTest::addColumn<QColor>("first");
        QTest::addColumn<QColor>("last");

        QTest::newRow("6300 twips, magenta") << 6300.0 << 100 << QColor(255, 0, 255) << QColor(7, 0, 7);
        QTest::newRow("rounded down") << 6330.0 << 100 << QColor(255, 255, 0) << QColor(7, 7, 0);
        QTest::newRow("rounded up") << 6335.0 << 101 << QColor(0, 255, 255) << QColor(0, 7, 7);
        QTest::newRow("components stop at zero") << 6300.0 << 100 << QColor(2, 4, 5) << QColor(0, 0, 0);
    }

    void bandsFromTheTop()
    {
        QFETCH(double, outer);
        QFETCH(int, height);
        QFETCH(QColor, first);
        QFETCH(QColor, last);

        const QList<GradientBand> bands =
            gradientBands(outer, first.red(), first.green(), first.blue(), 1, false, kFace);
        QCOMPARE(bands.size(), 63);
        QCOMPARE(bands[1].top, height);
        QCOMPARE(bands.last().bottom, 63 * height);
        QCOMPARE(bands.first().color, first);
        QCOMPARE(bands[1].color,
                 QColor(qMax(0, first.red() - 4), qMax(0, first.green() - 4), qMax(0, first.blue() - 4)));
        QCOMPARE(bands.last().color, last);
    }

    void outOfRangeComponentsAreClampedFirst()
    {
        QCOMPARE(gradientBands(6300, 300, -5, 128, 1, false, kFace)[1].color, QColor(251, 0, 124));
    }

    // A child keeps its own bands across repaints; a window not yet shown counts an estimated frame, so its
    // last bands lie below the client area; the system colour paints the button face.
    void paintedWidgets()
    {
        QWidget window;
        window.resize(300, 420);
        auto* child = new QWidget(&window);
        child->setGeometry(10, 10, 100, 420); // 6300 twips: bands of 100 twips
        PaintGradient(child, 255, 0, 255, 1, false);
        QCOMPARE(gradientOuterSize(child), QSize(100, 420));
        QCOMPARE(colourAtRow(child, 0), QColor(255, 0, 255));
        child->repaint();
        QCOMPARE(colourAtRow(child, 419), QColor(7, 0, 7));
        PaintGradient(child, 0, 255, 0, 1, false);
        QCOMPARE(colourAtRow(child, 0), QColor(0, 255, 0));

        const QSize outer = gradientOuterSize(&window);
        QCOMPARE(outer, QSize(300 + 2 * kEstimatedBorder, 420 + kEstimatedTitleBar + 2 * kEstimatedBorder));
        PaintGradient(&window, 0, 0, 255, 1, false);
        const QList<GradientBand> bands =
            gradientBands(pixelsToTwips(outer.height()), 0, 0, 255, 1, false, kFace);
        QCOMPARE(colourAtRow(&window, 0), QColor(0, 0, 255));
        QCOMPARE(colourAtRow(&window, 419), bands[(pixelsToTwips(419) + 7) / bands[0].bottom].color);

        PaintGradient(&window, 255, 0, 0, 1, true);
        QCOMPARE(colourAtRow(&window, 419), QApplication::palette().color(QPalette::Button));
    }
};

QTEST_MAIN(TestGradient)
#include "tst_gradient.moc"
