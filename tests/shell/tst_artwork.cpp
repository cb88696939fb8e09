// The program's own pictures, each against its kept copy, the gradient's bands and the digits' type size.

#include "KeptPicture.h"
#include "shell/kit/Artwork.h"
#include "shell/kit/DigitFont.h"
#include "shell/kit/GradientMod.h"

using namespace zentimo;

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
        test::compareWithKept(drawn, QTest::currentDataTag());
    }

    // Drawn in pieces, a long message lights nothing past its text.
    void aLongMessageLightsNothingPastItsText()
    {
        const QImage dots = ledDotMatrix(QString(256, 'W') + "    ");
        QCOMPARE(dots.copy(dots.width() - 8, 0, 8, kLedRows), ledDotMatrix("    ").copy(0, 0, 8, kLedRows));
    }

    // Digits that fit their field at the design size keep it, and their face.
    void digitsThatFitKeepTheirSize() { QCOMPARE(fittedDigitFont(12, QSize(1000, 1000)), digitFont(12)); }

    // Components out of range are taken as the nearest the bands can show.
    void gradientComponentsAreClampedFirst()
    {
        QCOMPARE(gradientBands(6300, 300, -5, 259, 1, false, Qt::gray)[1].color, QColor(251, 0, 251));
    }
};

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
