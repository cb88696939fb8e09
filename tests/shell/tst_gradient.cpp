// The gradient's bands take components out of range as the nearest they can show.

#include "shell/kit/GradientMod.h"

#include <QTest>

using namespace zentimo;

static const QColor kFace(212, 208, 200);

class TestGradient : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void outOfRangeComponentsAreClampedFirst()
    {
        QCOMPARE(gradientBands(6300, 300, -5, 259, 1, false, kFace)[1].color, QColor(251, 0, 251));
    }
};

QTEST_MAIN(TestGradient)
#include "tst_gradient.moc"
