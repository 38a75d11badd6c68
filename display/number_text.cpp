#include "display/number_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

namespace {

constexpr int MaxWidth = 255;
constexpr int MaxDecimals = 40;

QString padded(const QString &text, int width)
{
    return text.rightJustified(std::min(width, MaxWidth), u' ');
}

} // namespace

QString FormatFixed(double x, int width, int decimals)
{
    decimals = std::clamp(decimals, 0, MaxDecimals);
    if (std::isnan(x))
        return padded(QStringLiteral("NAN"), width);
    if (std::isinf(x))
        return padded(x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF"), width);
    const bool negative = x < 0;
    const double magnitude = std::fabs(x);
    char buffer[64];
    if (magnitude >= 1e36) {
        std::snprintf(buffer, sizeof buffer, "%.17E", x);
        return padded(QString::fromLatin1(buffer), width);
    }
    // 18 significant digits, correctly rounded: a Double a rounding step off a short decimal
    // (7.000000000000001, 0.28999999999999998) expands to that decimal followed by 0s or 9s.
    std::snprintf(buffer, sizeof buffer, "%.17e", magnitude);
    std::string digits;
    digits.reserve(64);
    digits.push_back(buffer[0]);
    digits.append(buffer + 2, 17);
    int point = std::atoi(buffer + 20) + 1; // digits before the decimal point
    if (point < 1) {
        digits.insert(0, std::size_t(1 - point), '0');
        point = 1;
    }
    const std::size_t keep = std::size_t(point + decimals);
    if (digits.size() <= keep)
        digits.append(keep + 1 - digits.size(), '0');
    // Halves are rounded away from zero on the expansion, as written on paper.
    const bool roundUp = digits[keep] >= '5';
    digits.resize(keep);
    if (roundUp) {
        std::size_t i = keep;
        while (i > 0 && digits[i - 1] == '9')
            digits[--i] = '0';
        if (i == 0) {
            digits.insert(digits.begin(), '1');
            ++point;
        } else {
            ++digits[i - 1];
        }
    }
    std::size_t firstDigit = 0;
    while (firstDigit + 1 < std::size_t(point) && digits[firstDigit] == '0')
        ++firstDigit;
    std::string text;
    if (negative)
        text.push_back('-');
    text.append(digits, firstDigit, std::size_t(point) - firstDigit);
    if (decimals > 0) {
        text.push_back('.');
        text.append(digits, std::size_t(point), std::string::npos);
    }
    return padded(QString::fromLatin1(text.data(), qsizetype(text.size())), width);
}

QString TrimZeros(const QString &text)
{
    if (!text.contains(u'.'))
        return text;
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u'0')
        --end;
    if (end > 0 && text[end - 1] == u'.')
        --end;
    return text.left(end);
}

namespace {

// The half-width form of what a Japanese input method types for a number.
char16_t halfWidth(char16_t c)
{
    if (c >= u'０' && c <= u'９')
        return char16_t(c - u'０' + u'0');
    switch (c) {
    case u'．': return u'.';
    case u'＋': return u'+';
    case u'－': return u'-';
    case u'\u3000': return u' ';
    default: return c;
    }
}

} // namespace

double ReadNumber(const QString &text)
{
    constexpr double NotANumber = std::numeric_limits<double>::quiet_NaN();
    if (text.isEmpty())
        return 0.0;
    // The number, in the form the standard conversion reads: digits, point, exponent.
    std::string number;
    number.reserve(std::size_t(std::min<qsizetype>(text.size(), 64)));
    const QChar *c = text.constData();
    const QChar *const end = c + text.size();
    auto at = [&](char16_t wanted) { return c != end && halfWidth(c->unicode()) == wanted; };
    auto isDigit = [&] { return c != end && halfWidth(c->unicode()) >= u'0' && halfWidth(c->unicode()) <= u'9'; };

    while (at(u' '))
        ++c;
    bool negative = false;
    if (at(u'+') || at(u'-')) {
        negative = at(u'-');
        ++c;
    }
    std::size_t mantissaDigits = 0;
    bool afterPoint = false;
    for (;;) {
        if (isDigit()) {
            number.push_back(char(halfWidth(c->unicode())));
            ++mantissaDigits;
            ++c;
        } else if (at(u'.') && !afterPoint) {
            number.push_back('.');
            afterPoint = true;
            ++c;
        } else {
            break;
        }
    }
    const std::size_t mantissaEnd = number.size();
    long long exponent = 0;
    if (at(u'e') || at(u'E')) {
        number.push_back('e');
        ++c;
        bool negativeExponent = false;
        if (at(u'+') || at(u'-')) {
            negativeExponent = at(u'-');
            number.push_back(negativeExponent ? '-' : '+');
            ++c;
        }
        if (!isDigit())
            return NotANumber;
        while (isDigit()) {
            number.push_back(char(halfWidth(c->unicode())));
            exponent = std::min(exponent * 10 + (halfWidth(c->unicode()) - u'0'), 1'000'000'000LL);
            ++c;
        }
        if (negativeExponent)
            exponent = -exponent;
    }
    while (at(u' '))
        ++c;
    if (c != end)
        return NotANumber;
    if (mantissaDigits == 0) {
        // A point alone (or with a sign) is zero; a sign alone, or nothing but blanks, is not
        // a number at all.
        return afterPoint && exponent == 0 && number == "." ? (negative ? -0.0 : 0.0) : NotANumber;
    }
    double value = 0.0;
    const auto [ptr, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ptr != number.data() + number.size())
        return NotANumber;
    if (error == std::errc::result_out_of_range) {
        // Too large for a Double is infinity; too small is zero.
        const std::string_view mantissa(number.data(), mantissaEnd);
        const std::size_t pointAt = std::min(mantissa.find('.'), mantissa.size());
        const std::size_t first = mantissa.find_first_of("123456789");
        const long long order = first < pointAt ? (long long)(pointAt - 1 - first)
                                                : -(long long)(first - pointAt);
        const bool huge = first != std::string_view::npos && order + exponent > 0;
        value = huge ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return negative ? -value : value;
}
