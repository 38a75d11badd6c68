// Any Double below 1e36 in any box format: the text has the shape of a fixed-decimal number,
// lies within half a last place of the value, and reads back, with and without its trailing
// zeros, as exactly the Double the C library reads for it.
#include "display/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

[[noreturn]] void fail(const char *what, double x, int width, int decimals, const QString &text)
{
    std::fprintf(stderr, "FormatFixed(%a, %d, %d) = \"%s\": %s\n", x, width, decimals,
                 text.toLatin1().constData(), what);
    std::abort();
}

bool isDigits(const QString &text, qsizetype from, qsizetype to)
{
    for (qsizetype i = from; i < to; ++i) {
        if (text[i] < u'0' || text[i] > u'9')
            return false;
    }
    return to > from;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < sizeof(double) + 2)
        return 0;
    double x;
    std::memcpy(&x, data, sizeof x);
    const int width = 1 + data[sizeof x] % 6;
    const int decimals = data[sizeof x + 1] % 4;
    if (!std::isfinite(x) || std::fabs(x) >= 1e36)
        return 0;

    const QString text = FormatFixed(x, width, decimals);
    const auto fails = [&](const char *what) { fail(what, x, width, decimals, text); };

    // Blanks, then an optional minus, the whole part without leading zeros, the decimals.
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    if (text.size() < width || (i > 0 && text.size() != width))
        fails("not padded to the width");
    if ((i < text.size() && text[i] == u'-') != (x < 0))
        fails("sign");
    i += x < 0;
    const qsizetype point = decimals > 0 ? text.indexOf(u'.', i) : text.size();
    if (point < 0 || !isDigits(text, i, point) || (point - i > 1 && text[i] == u'0'))
        fails("whole part");
    if (decimals > 0
        && (text.size() - point - 1 != decimals || !isDigits(text, point + 1, text.size())))
        fails("decimals");

    const QByteArray shown = text.trimmed().toLatin1();
    const double exact = std::strtod(shown.constData(), nullptr);
    for (const QString &t : { text, TrimZeros(text) }) {
        const double read = ReadNumber(t);
        if (std::memcmp(&read, &exact, sizeof read) != 0)
            fail("does not read back as shown", x, width, decimals, t);
    }

    // Halves away from zero on an 18-digit expansion: off by at most half a last place, plus
    // the expansion's own rounding.
    const long double off = std::fabs(std::strtold(shown.constData(), nullptr) - (long double)x);
    const long double halfPlace = 0.5L * std::pow(10.0L, -decimals);
    if (off > halfPlace * (1 + 1e-15L) + std::fabs((long double)x) * 1e-17L)
        fails("too far from the value");
    return 0;
}
