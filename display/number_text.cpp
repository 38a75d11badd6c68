#include "display/number_text.h"

#include "drill/typed_text.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>

namespace {

constexpr int MaxWidth = 255;
constexpr int MaxDecimals = 40;
// Significant digits in the expansion that FormatFixed rounds from.
constexpr int ExpansionDigits = 18;

// The text right-aligned in a field of `width` blanks, made in one allocation.
QString padded(const char *text, int length, int width)
{
    const int size = std::max(length, std::min(width, MaxWidth));
    QString out(size, u' ');
    QChar *to = out.data() + (size - length);
    for (int i = 0; i < length; ++i)
        to[i] = QLatin1Char(text[i]);
    return out;
}

// The text of digits, 'e' and an exponent (never a decimal point, so no locale can read it
// differently) as the nearest Double. emscripten's C++ library has no floating-point
// from_chars; strtod rounds the same and tells a result out of range the same way.
std::from_chars_result readDouble(char *first, char *last, double &value)
{
#if defined(__cpp_lib_to_chars) && __cpp_lib_to_chars >= 201611L
    return std::from_chars(first, last, value);
#else
    const char saved = *last;
    *last = '\0';
    char *end = nullptr;
    errno = 0;
    const double read = std::strtod(first, &end);
    const bool outOfRange = errno == ERANGE && (read == 0.0 || std::isinf(read));
    *last = saved;
    if (end == first)
        return { first, std::errc::invalid_argument };
    if (!outOfRange)
        value = read;
    return { end, outOfRange ? std::errc::result_out_of_range : std::errc() };
#endif
}

} // namespace

QString FormatFixed(double x, int width, int decimals)
{
    decimals = std::clamp(decimals, 0, MaxDecimals);
    if (std::isnan(x))
        return padded("NAN", 3, width);
    if (std::isinf(x))
        return x < 0 ? padded("-INF", 4, width) : padded("INF", 3, width);

    // std::to_chars rather than printf: the program runs under the user's locale, and a
    // decimal comma would make a text that reads back as something else.
    const double magnitude = std::fabs(x);
    char expansion[40];
    const auto written = std::to_chars(expansion, expansion + sizeof expansion, magnitude,
                                       std::chars_format::scientific, ExpansionDigits - 1);
    if (magnitude >= 1e36) {
        // Far beyond any value of the drill: all 18 digits in exponent form, which reads back.
        char text[48];
        int length = 0;
        if (x < 0)
            text[length++] = '-';
        for (const char *c = expansion; c != written.ptr; ++c)
            text[length++] = *c == 'e' ? 'E' : *c;
        return padded(text, length, width);
    }

    // "d.ddddddddddddddddde+XX": the digits, then the power of ten of the first one.
    char significant[ExpansionDigits];
    significant[0] = expansion[0];
    std::copy_n(expansion + 2, ExpansionDigits - 1, significant + 1);
    const char *exponentText = expansion + 2 + (ExpansionDigits - 1) + 1;
    const bool negativeExponent = *exponentText == '-';
    int exponent = 0;
    std::from_chars(exponentText + 1, written.ptr, exponent);
    if (negativeExponent)
        exponent = -exponent;

    // Digits of the whole part in the expansion (0 or less below 1), and in the text.
    const int point = exponent + 1;
    int wholeDigits = std::max(point, 1);
    const auto digitAt = [&](int place) {
        const int index = place - (wholeDigits - point);
        return index >= 0 && index < ExpansionDigits ? significant[index] : '0';
    };

    // One place in front for a carry out of the whole part (9.996 -> 10.00).
    char digits[1 + 37 + MaxDecimals];
    const int kept = wholeDigits + decimals;
    for (int place = 0; place < kept; ++place)
        digits[1 + place] = digitAt(place);
    int first = 1;
    // Halves go away from zero on the expansion, not on the binary value, so a Double a
    // rounding step off a short decimal (7.000000000000001, 0.28999999999999998) shows it.
    if (digitAt(kept) >= '5') {
        int i = kept;
        while (i > 0 && digits[i] == '9')
            digits[i--] = '0';
        if (i == 0) {
            digits[0] = '1';
            first = 0;
            ++wholeDigits;
        } else {
            ++digits[i];
        }
    }

    char text[2 + sizeof digits];
    int length = 0;
    if (x < 0)
        text[length++] = '-';
    const char *from = digits + first;
    length = int(std::copy_n(from, wholeDigits, text + length) - text);
    if (decimals > 0) {
        text[length++] = '.';
        length = int(std::copy_n(from + wholeDigits, decimals, text + length) - text);
    }
    return padded(text, length, width);
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

// What a Japanese input method types for a number, as its ASCII form; anything else as is.
// The ideographic blank becomes a blank. Only these: a pupil types no other number signs, and
// a character read wrongly would turn a slip into a number.
// Every power of ten a Double holds exactly.
constexpr double PowersOfTen[] = { 1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                   1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                   1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22 };

// Enough significant digits to decide the nearest Double of any decimal; the digits after
// them only matter as "something more than zero", kept as one final 1.
constexpr int KeptDigits = 800;

} // namespace

double ReadNumber(const QString &text)
{
    constexpr double NotANumber = std::numeric_limits<double>::quiet_NaN();
    if (text.isEmpty())
        return 0.0;

    const char16_t *c = reinterpret_cast<const char16_t *>(text.utf16());
    const char16_t *const end = c + text.size();
    const auto peek = [&] { return c != end ? HalfWidthOf(*c) : u'\0'; };
    const auto isDigit = [](char16_t a) { return a >= u'0' && a <= u'9'; };

    while (peek() == u' ')
        ++c;
    bool negative = false;
    if (peek() == u'+' || peek() == u'-')
        negative = HalfWidthOf(*c++) == u'-';

    // The number is read as digits × 10^scale, leading zeros dropped. The scale moves by one a
    // character and the exponent stops growing past 10^17, so no sum below can overflow.
    char digits[KeptDigits + 1 + 24];
    int digitCount = 0;
    bool moreDigits = false; // a non-zero digit beyond KeptDigits
    std::int64_t scale = 0;
    bool anyMantissa = false; // a digit or the point: a sign alone is not a number
    bool afterPoint = false;
    for (;; ++c) {
        const char16_t a = peek();
        if (isDigit(a)) {
            anyMantissa = true;
            if (digitCount == KeptDigits) {
                moreDigits |= a != u'0';
                if (!afterPoint)
                    ++scale;
            } else {
                if (digitCount > 0 || a != u'0')
                    digits[digitCount++] = char(a);
                if (afterPoint)
                    --scale;
            }
        } else if (a == u'.' && !afterPoint) {
            anyMantissa = afterPoint = true;
        } else {
            break;
        }
    }
    bool anyExponent = false;
    if (peek() == u'e' || peek() == u'E') {
        ++c;
        bool negativeExponent = false;
        if (peek() == u'+' || peek() == u'-')
            negativeExponent = HalfWidthOf(*c++) == u'-';
        if (!isDigit(peek()))
            return NotANumber;
        constexpr std::int64_t Saturated = 100'000'000'000'000'000;
        std::int64_t exponent = 0;
        for (; isDigit(peek()); ++c) {
            if (exponent < Saturated)
                exponent = exponent * 10 + (peek() - u'0');
        }
        scale += negativeExponent ? -exponent : exponent;
        anyExponent = true;
    }
    while (peek() == u' ')
        ++c;
    if (c != end || !(anyMantissa || anyExponent))
        return NotANumber;

    double value = 0.0;
    if (digitCount > 0 && digitCount <= 15 && !moreDigits && scale >= -22 && scale <= 22) {
        // The texts a pupil types: up to 15 digits are a Double exactly, and so is a power of
        // ten up to 10^22, so one multiplication or division rounds as the full conversion would.
        std::uint64_t mantissa = 0;
        for (int i = 0; i < digitCount; ++i)
            mantissa = mantissa * 10 + std::uint64_t(digits[i] - '0');
        const double whole = double(mantissa);
        value = scale < 0 ? whole / PowersOfTen[-scale] : whole * PowersOfTen[scale];
    } else if (digitCount > 0) {
        // The power of ten of the first digit decides texts far outside a Double's range, so
        // the conversion below only sees short, in-range exponents.
        const std::int64_t order = scale + digitCount - 1;
        if (order > 310) {
            value = std::numeric_limits<double>::infinity();
        } else if (order >= -330) {
            if (moreDigits) {
                digits[digitCount++] = '1';
                --scale;
            }
            char *tail = digits + digitCount;
            *tail++ = 'e';
            // One place is left after the exponent for readDouble's terminator.
            tail = std::to_chars(tail, digits + sizeof digits - 1, scale).ptr;
            const auto [ptr, error] = readDouble(digits, tail, value);
            if (error == std::errc::result_out_of_range)
                value = order > 0 ? std::numeric_limits<double>::infinity() : 0.0;
            else if (error != std::errc() || ptr != tail)
                return NotANumber;
        }
    }
    return negative ? -value : value;
}
