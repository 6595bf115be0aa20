#include "setup/SecondsText.h"

#include "settings/SettingsDoc.h"

QString SecondsText(double value)
{
    // Scientific form rounds to 15 significant digits; the point is then moved by hand
    // so that large and small values still read as plain decimals.
    const QString scientific = QString::number(value, 'e', 14);
    const bool negative = scientific.startsWith(QLatin1Char('-'));
    const qsizetype e = scientific.indexOf(QLatin1Char('e'));
    const QString digits = scientific.mid(negative ? 1 : 0, e - (negative ? 1 : 0)).remove(QLatin1Char('.'));
    const int pointAt = scientific.mid(e + 1).toInt() + 1;

    QString whole;
    QString fraction;
    if (pointAt <= 0) {
        whole = QStringLiteral("0");
        fraction = QString(-pointAt, QLatin1Char('0')) + digits;
    } else if (pointAt >= digits.size()) {
        whole = digits + QString(pointAt - digits.size(), QLatin1Char('0'));
    } else {
        whole = digits.left(pointAt);
        fraction = digits.mid(pointAt);
    }
    while (fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    QString text = fraction.isEmpty() ? whole : whole + QLatin1Char('.') + fraction;
    if (negative && text != QLatin1String("0"))
        text.prepend(QLatin1Char('-'));
    return text;
}

std::optional<QString> SteppedSeconds(const QString &text, SecondsArrow arrow)
{
    const std::optional<double> seconds = parseSettingsNumber(text);
    if (!seconds)
        return std::nullopt;
    const double stop = arrow == SecondsArrow::Up ? 10.0 : 1.0;
    if (*seconds == stop)
        return std::nullopt;
    return SecondsText(*seconds + (arrow == SecondsArrow::Up ? 1.0 : -1.0));
}

bool AcceptableSeconds(const QString &text)
{
    // Below a millisecond the slide timer rounds to 0 and the show would never advance.
    const std::optional<double> seconds = parseSettingsNumber(text);
    return seconds && *seconds >= 0.001;
}
