#include "engine/Colors.h"
#include "shell/cTrimmer.h"

#include <QApplication>
#include <QTest>
#include <QWidget>

using namespace zentimo;

class TestTrimmer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // w near-white surround, m metal, k black, R the stop colour; '#' where the window is kept.
    void windowKeepsWhatThePictureShows_data()
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
    void windowKeepsWhatThePictureShows()
    {
        QFETCH(QStringList, picture);
        QFETCH(QStringList, expected);
        const QHash<QChar, QRgb> colours{{'w', qRgb(254, 254, 254)},
                                         {'m', qRgb(180, 182, 186)},
                                         {'k', qRgb(0, 0, 0)},
                                         {'R', qRgb(255, 0, 0)}};
        QImage img(int(picture.first().size()), int(picture.size()), QImage::Format_RGB32);
        for (int y = 0; y < img.height(); ++y) {
            for (int x = 0; x < img.width(); ++x)
                img.setPixel(x, y, colours.value(picture[y][x]));
        }
        // The window is larger than its picture: what lies beyond is cut away.
        QWidget window;
        window.resize(img.width() + 2, img.height() + 1);
        cTrimmer().TrimForm(&window, img, kAlarmRed);
        expected << QString(img.width(), '.');
        QStringList kept;
        for (int y = 0; y < window.height(); ++y) {
            QString row;
            for (int x = 0; x < window.width(); ++x)
                row += window.mask().contains(QPoint(x, y)) ? '#' : '.';
            kept << row;
            expected[y] += "..";
        }
        QCOMPARE(kept, expected);
    }

    // A run that reaches a picture's right edge ends there: nothing past a row is read.
    void aRunEndsAtTheRightEdge()
    {
        QImage img(4, 2, QImage::Format_RGB32);
        img.fill(qRgb(180, 182, 186));
        img.setPixel(0, 0, qRgb(254, 254, 254)); // the background
        QCOMPARE(cTrimmer::regionFor(img, qRgb(255, 0, 0)), QRegion(1, 0, 3, 1) + QRegion(0, 1, 4, 1));
    }
};

QTEST_MAIN(TestTrimmer)
#include "tst_trimmer.moc"
