#pragma once
// A picture the program draws, against the copy in tests/data/pictures that was looked at and kept when it
// was last changed: a shape moved, a control misplaced or a colour changed shows in its commit as a changed
// PNG. ZENTIMO_PICTURES_UPDATE=1 writes the copies anew.

#include <QDir>
#include <QImage>
#include <QTest>

namespace zentimo::test {

// The same to the level here down to plain SSE2 (QT_NO_CPU_FEATURE); one is left for another's rounding.
inline void compareWithKept(QImage drawn, const QString& name)
{
    constexpr int levels = 1;
    drawn.convertTo(QImage::Format_ARGB32);
    const QString kept = qEnvironmentVariable("ZENTIMO_TEST_DATA") + "/pictures/" + name + ".png";
    if (qEnvironmentVariableIsSet("ZENTIMO_PICTURES_UPDATE")) {
        QVERIFY(drawn.save(kept));
        return;
    }
    const QImage want = QImage(kept).convertToFormat(QImage::Format_ARGB32);
    QVERIFY2(!want.isNull(), qPrintable(kept));
    QCOMPARE(drawn.size(), want.size());
    const auto near = [](QRgb a, QRgb b) {
        return qAbs(qRed(a) - qRed(b)) <= levels && qAbs(qGreen(a) - qGreen(b)) <= levels &&
               qAbs(qBlue(a) - qBlue(b)) <= levels && qAbs(qAlpha(a) - qAlpha(b)) <= levels;
    };
    int off = 0;
    QPoint first;
    for (int y = 0; y < want.height(); ++y)
        for (int x = 0; x < want.width(); ++x)
            if (!near(drawn.pixel(x, y), want.pixel(x, y)) && off++ == 0)
                first = {x, y};
    if (off > 0) {
        const QString path = QDir::currentPath() + "/drawn-" + name + ".png";
        drawn.save(path);
        QFAIL(qPrintable(QString::asprintf("%d pixels differ, the first at (%d, %d); drawn: %s", off,
                                           first.x(), first.y(), qPrintable(path))));
    }
}

} // namespace zentimo::test
