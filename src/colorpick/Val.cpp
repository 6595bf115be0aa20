#include "colorpick/Val.h"

#include <cstdint>

namespace {

// Hexadecimal and octal literals wrap like the 16-bit or 32-bit integer they fit.
double radixValue(const QString &digits, int radix)
{
    std::uint64_t value = 0;
    for (const QChar c : digits) {
        const char16_t u = c.toUpper().unicode();
        const int digit = u >= u'0' && u <= u'9' ? u - u'0' : u >= u'A' && u <= u'F' ? u - u'A' + 10 : radix;
        if (digit >= radix)
            break;
        value = (value * radix + digit) & 0xFFFFFFFFu;
    }
    if (value <= 0xFFFF)
        return static_cast<std::int16_t>(value);
    return static_cast<std::int32_t>(value);
}

} // namespace

double Val(const QString &text)
{
    QString compact;
    for (const QChar c : text)
        if (c != u' ' && c != u'\t')
            compact.append(c);

    if (compact.size() >= 2 && compact[0] == u'&') {
        const QChar prefix = compact[1].toUpper();
        if (prefix == u'H')
            return radixValue(compact.mid(2), 16);
        if (prefix == u'O')
            return radixValue(compact.mid(2), 8);
        return 0;
    }

    // Longest prefix of the form [sign] digits [. digits] [E|D [sign] digits].
    const auto digitsFrom = [&](qsizetype at) {
        while (at < compact.size() && compact[at] >= u'0' && compact[at] <= u'9')
            ++at;
        return at;
    };
    qsizetype pos = 0;
    if (pos < compact.size() && (compact[pos] == u'+' || compact[pos] == u'-'))
        ++pos;
    const qsizetype integerEnd = digitsFrom(pos);
    bool anyDigit = integerEnd > pos;
    pos = integerEnd;
    if (pos < compact.size() && compact[pos] == u'.') {
        const qsizetype fractionEnd = digitsFrom(pos + 1);
        anyDigit = anyDigit || fractionEnd > pos + 1;
        pos = fractionEnd;
    }
    if (!anyDigit)
        return 0;
    qsizetype end = pos;
    if (pos < compact.size() && QStringLiteral("EeDd").contains(compact[pos])) {
        qsizetype exponent = pos + 1;
        if (exponent < compact.size() && (compact[exponent] == u'+' || compact[exponent] == u'-'))
            ++exponent;
        const qsizetype exponentEnd = digitsFrom(exponent);
        if (exponentEnd > exponent)
            end = exponentEnd;
    }
    QString number = compact.left(end);
    number.replace(u'D', u'E').replace(u'd', u'e');
    if (number.endsWith(u'.'))
        number.chop(1);
    return number.toDouble();
}
