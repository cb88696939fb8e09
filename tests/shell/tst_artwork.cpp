// The program's pictures against the copies in tests/data/artwork, looked at and kept when they were drawn:
// a change to any picture shows in its commit as a changed PNG. ZENTIMO_ARTWORK_UPDATE=1 writes them anew.

#include "TestKit.h"
#include "shell/kit/Artwork.h"

#include <QDir>
#include <QTest>

using namespace zentimo;

struct Picture {
    const char* name;
    QImage (*draw)();
};
Q_DECLARE_METATYPE(Picture)

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
    void drawnAsKept_data()
    {
        static const Picture pictures[] = {
            {.name = "panel", .draw = [] { return messagePanelImage(); }},
            {.name = "close", .draw = [] { return closeButtonImage(false); }},
            {.name = "close-pressed", .draw = [] { return closeButtonImage(true); }},
            {.name = "logo", .draw = [] { return productLogo().toImage(); }},
            {.name = "icon-16", .draw = [] { return programIconImage(16); }},
            {.name = "icon-24", .draw = [] { return programIconImage(24); }},
            {.name = "icon-32", .draw = [] { return programIconImage(32); }},
            {.name = "icon-48", .draw = [] { return programIconImage(48); }},
            {.name = "icon-256", .draw = [] { return programIconImage(256); }},
            {.name = "led-lit", .draw = [] { return ledImage(true); }},
            {.name = "led-board",
             .draw =
                 [] {
                     return ledBoardImage({31, 16});
                 }},
            {.name = "dots", .draw = [] { return ledDotMatrix(QStringLiteral("Wake up, 07:30!")); }},
        };
        test::addRows(pictures);
    }

    void drawnAsKept()
    {
        QFETCH(Picture, row);
        const QImage drawn = row.draw().convertToFormat(QImage::Format_ARGB32);
        const QString kept = qEnvironmentVariable("ZENTIMO_TEST_DATA") + "/artwork/" + row.name + ".png";
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
            const QString path = QDir::currentPath() + "/artwork-drawn-" + row.name + ".png";
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
