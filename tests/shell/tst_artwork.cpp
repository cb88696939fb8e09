// The program's pictures against the copies in tests/data/artwork, looked at and kept when they were drawn:
// a change to any picture shows in its commit as a changed PNG. ZENTIMO_ARTWORK_UPDATE=1 writes them anew.

#include "TestKit.h"
#include "shell/kit/Artwork.h"

#include <QDir>
#include <QTest>

using namespace zentimo;

// Painting may round a level differently on another processor's vector unit; a shape moved or a colour
// changed differs by far more.
static constexpr int kLevels = 3;

static bool near(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) <= kLevels && qAbs(qGreen(a) - qGreen(b)) <= kLevels &&
           qAbs(qBlue(a) - qBlue(b)) <= kLevels && qAbs(qAlpha(a) - qAlpha(b)) <= kLevels;
}

class TestArtwork : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Each icon size is a folder of the desktop's icon theme.
    void drawnAsKept_data()
    {
        QTest::addColumn<QImage>("drawn");
        QTest::newRow("panel") << messagePanelImage();
        QTest::newRow("close") << closeButtonImage(false);
        QTest::newRow("close-pressed") << closeButtonImage(true);
        QTest::newRow("logo") << productLogo().toImage();
        for (const int size : programIconSizes())
            QTest::addRow("icon-%d", size) << programIconImage(size);
        QTest::newRow("led-lit") << ledImage(true);
        QTest::newRow("led-board") << ledBoardImage({31, 16});
        QTest::newRow("dots") << ledDotMatrix(QStringLiteral("Wake up, 07:30!"));
    }

    void drawnAsKept()
    {
        QFETCH(QImage, drawn);
        drawn.convertTo(QImage::Format_ARGB32);
        const QString name = QTest::currentDataTag();
        const QString kept = qEnvironmentVariable("ZENTIMO_TEST_DATA") + "/artwork/" + name + ".png";
        if (qEnvironmentVariableIsSet("ZENTIMO_ARTWORK_UPDATE")) {
            QVERIFY(drawn.save(kept));
            return;
        }
        const QImage want = QImage(kept).convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!want.isNull(), qPrintable(kept));
        QCOMPARE(drawn.size(), want.size());
        int off = 0;
        QPoint first;
        for (int y = 0; y < want.height(); ++y) {
            for (int x = 0; x < want.width(); ++x) {
                if (!near(drawn.pixel(x, y), want.pixel(x, y)) && off++ == 0)
                    first = {x, y};
            }
        }
        if (off > 0) {
            const QString path = QDir::currentPath() + "/artwork-drawn-" + name + ".png";
            drawn.save(path);
            QFAIL(qPrintable(QStringLiteral("%1 pixels differ, the first at (%2, %3); drawn: %4")
                                 .arg(off)
                                 .arg(first.x())
                                 .arg(first.y())
                                 .arg(path)));
        }
    }
};

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
