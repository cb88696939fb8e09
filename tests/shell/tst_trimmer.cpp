#include "engine/Colors.h"
#include "shell/cTrimmer.h"

#include <QTest>

using namespace zentimo;

class TestTrimmer : public QObject {
    Q_OBJECT
private Q_SLOTS:
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

QTEST_MAIN(TestTrimmer)
#include "tst_trimmer.moc"
