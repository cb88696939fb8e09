// The program's own pictures, each against its kept copy.

#include "KeptPicture.h"
#include "shell/kit/Artwork.h"

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
};

QTEST_MAIN(TestArtwork)
#include "tst_artwork.moc"
