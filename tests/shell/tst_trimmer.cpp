#include "shell/cTrimmer.h"
#include "shell/kit/Artwork.h"
#include "shell/kit/WinColor.h"

#include <QApplication>
#include <QPalette>
#include <QTest>
#include <QWidget>

using namespace zentimo;

namespace {

// w near-white surround, m metal, k black, R the stop colour (pure red).
QRgb colourOf(QChar c)
{
    switch (c.toLatin1()) {
    case 'w':
        return qRgb(254, 254, 254);
    case 'm':
        return qRgb(180, 182, 186);
    case 'k':
        return qRgb(0, 0, 0);
    case 'R':
        return qRgb(255, 0, 0);
    default:
        return qRgb(1, 2, 3);
    }
}

QImage pictureOf(const QStringList& rows)
{
    QImage img(int(rows.first().size()), int(rows.size()), QImage::Format_RGB32);
    for (int y = 0; y < img.height(); ++y) {
        for (int x = 0; x < img.width(); ++x) {
            img.setPixel(x, y, colourOf(rows[y][x]));
        }
    }
    return img;
}

// '#' where the region holds the pixel.
QStringList drawingOf(const QRegion& region, QSize size)
{
    QStringList rows;
    for (int y = 0; y < size.height(); ++y) {
        QString row;
        for (int x = 0; x < size.width(); ++x) {
            row += region.contains(QPoint(x, y)) ? QLatin1Char('#') : QLatin1Char('.');
        }
        rows << row;
    }
    return rows;
}

} // namespace

class TestTrimmer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void regionFollowsPicture_data()
    {
        QTest::addColumn<QStringList>("picture");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("surround is cut, holes of surround colour inside the panel too")
            << QStringList{"wwwwww", "wmmmmw", "wmwkmw", "wmmmmw", "wwwwww"}
            << QStringList{"......", ".####.", ".#.##.", ".####.", "......"};
        QTest::newRow("stop colour ends the row early")
            << QStringList{"wmmRmm", "wmmmmm", "wmRwmm"} << QStringList{".##...", ".#####", ".#...."};
        QTest::newRow("stop colour as the first pixel of a row leaves the row empty")
            << QStringList{"wmm", "Rmm", "wmm"} << QStringList{".##", "...", ".##"};
        QTest::newRow("first pixel of the panel colour makes the panel colour the background")
            << QStringList{"mmkmm", "mkkkm", "kmwmk"} << QStringList{"..#..", ".###.", "#.#.#"};
    }

    void regionFollowsPicture()
    {
        QFETCH(QStringList, picture);
        QFETCH(QStringList, expected);
        const QImage img = pictureOf(picture);
        const QRegion region = cTrimmer::regionFor(img, qRgb(255, 0, 0));
        QCOMPARE(drawingOf(region, img.size()), expected);
    }

    void windowAreaBeyondPictureIsCutAway()
    {
        QWidget window;
        window.resize(8, 4);
        cTrimmer().TrimForm(&window, pictureOf({"wmmmw", "wmwmm"}), kAlarmRed);
        QCOMPARE(drawingOf(window.mask(), window.size()),
                 (QStringList{".###....", ".#.##...", "........", "........"}));
    }

    void messagePanelShapeKeepsStripAndButton()
    {
        const QImage panel = messagePanelImage();
        const QRegion shape = cTrimmer::regionFor(panel, qRgb(255, 0, 0));
        QCOMPARE(shape.boundingRect(), QRect(0, 0, 692, 124));
        for (const QPoint& corner :
             {QPoint(0, 0), QPoint(691, 0), QPoint(0, 123), QPoint(691, 123), QPoint(2, 2)}) {
            QVERIFY2(!shape.contains(corner),
                     qPrintable(QStringLiteral("corner %1,%2").arg(corner.x()).arg(corner.y())));
        }
        QCOMPARE(shape.intersected(kMessageStripRect), QRegion(kMessageStripRect));
        QCOMPARE(shape.intersected(kCloseButtonRect), QRegion(kCloseButtonRect));
        QVERIFY(shape.contains(QPoint(346, 1)));
    }
};

QTEST_MAIN(TestTrimmer)
#include "tst_trimmer.moc"
