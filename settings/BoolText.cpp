#include "settings/BoolText.h"

#include <QRegularExpression>

namespace zentimo {

QString boolToText(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool textToBool(const QString& text, bool fallback)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    // Plain decimal numbers only: no "inf", "nan" or hex, which a general conversion would take.
    static const QRegularExpression number(QStringLiteral("^[+-]?(\\d+(\\.\\d*)?|\\.\\d+)([eE][+-]?\\d+)?$"));
    if (!number.match(t).hasMatch())
        return fallback;
    bool ok = false;
    const double value = t.toDouble(&ok);
    return ok ? value != 0.0 : fallback;
}

} // namespace zentimo
