#include "shell/kit/DigitFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

namespace zentimo {

QFont digitFont(double points)
{
    QFont font(QStringLiteral("DSEG7 Classic"));
    if (QFontInfo(font).family() != QLatin1String("DSEG7 Classic")) {
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
        font.setBold(true);
    }
    font.setPointSizeF(points);
    return font;
}

QFont fittedDigitFont(double points, const QSize& box)
{
    constexpr double kStep = 0.95;
    const auto fits = [&box](const QFont& font) {
        const QFontMetricsF fm(font);
        return fm.horizontalAdvance(QStringLiteral("88")) <= box.width() - 6 &&
               fm.ascent() <= box.height() - 4;
    };
    QFont font = digitFont(points);
    if (fits(font))
        return font;
    // Every size tried loads the face again, which start-up feels: the glyphs scale with the size, so one
    // measurement tells how many 5 % steps down it takes, and the steps after it only cover rounding.
    const QFontMetricsF fm(font);
    const double scale = std::min((box.width() - 6) / fm.horizontalAdvance(QStringLiteral("88")),
                                  (box.height() - 4) / fm.ascent());
    int steps = scale > 0 ? std::max(1, int(std::ceil(std::log(scale) / std::log(kStep)))) : 1;
    for (; steps < 40; ++steps) {
        font.setPointSizeF(points * std::pow(kStep, steps));
        if (fits(font))
            break;
    }
    return font;
}

} // namespace zentimo
