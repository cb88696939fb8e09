// The gradient's bands from the top: 63 of them, each four steps darker, rounded to whole twips.

#include "engine/Colors.h"
#include "shell/kit/GradientMod.h"
#include "shell/kit/WinColor.h"

#include <QTest>
#include <QWidget>

using namespace zentimo;

static const QColor kFace(212, 208, 200);

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
        QTest::newRow("a half to the even") << 6331.5 << 100 << QColor(0, 255, 255) << QColor(0, 7, 7);
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

    // 102 pixels are 1,530 twips: bands of 24 twips end in row 100, and row 101 keeps what was there.
    void whatNoBandReachesKeepsItsPicture()
    {
        QWidget window;
        QWidget w(&window); // a child: its outer size is its own
        w.resize(50, 102);
        QPalette pal = w.palette();
        pal.setColor(QPalette::Window, QColor(1, 2, 3));
        w.setPalette(pal);
        const auto pixel = [&](int y) {
            return w.palette().brush(QPalette::Window).texture().toImage().pixelColor(0, y);
        };
        PaintGradient(&w, 255, 0, 0, 1, false);
        QCOMPARE(pixel(0), QColor(255, 0, 0));
        QCOMPARE(pixel(101), QColor(1, 2, 3));
        PaintGradient(&w, 0, 255, 0, 1, false);
        QCOMPARE(pixel(0), QColor(0, 255, 0));
        QCOMPARE(pixel(100), QColor(0, 7, 0));
        QCOMPARE(pixel(101), QColor(1, 2, 3));
        // The last choice is the flat system face.
        paintBackgroundChoice(&w, kFlatBackground);
        QCOMPARE(pixel(0), fromWinColor(kSystemButtonFace));
    }

    void outOfRangeComponentsAreClampedFirst()
    {
        QCOMPARE(gradientBands(6300, 300, -5, 259, 1, false, kFace)[1].color, QColor(251, 0, 251));
    }
};

QTEST_MAIN(TestGradient)
#include "tst_gradient.moc"
