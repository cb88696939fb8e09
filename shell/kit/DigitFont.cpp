#include "shell/kit/DigitFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>

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
    QFont font = digitFont(points);
    for (int i = 0; i < 40; ++i) {
        const QFontMetrics fm(font);
        if (fm.horizontalAdvance(QStringLiteral("88")) <= box.width() - 6 && fm.ascent() <= box.height() - 4)
            break;
        font.setPointSizeF(font.pointSizeF() * 0.95);
    }
    return font;
}

} // namespace zentimo
