// Any Double, width 1-6 and 0-3 decimals: the text FormatFixed makes, with or without its
// trailing zeros, reads back through ReadNumber as exactly the value it shows.
#include "display/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < sizeof(double) + 1)
        return 0;
    double x = 0;
    std::memcpy(&x, data, sizeof x);
    if (!std::isfinite(x) || std::fabs(x) >= 1e36)
        return 0;
    const int width = 1 + data[sizeof x] % 6;
    const int decimals = (data[sizeof x] / 6) % 4;
    const QString text = FormatFixed(x, width, decimals);
    if (text.size() < width)
        std::abort();
    const QByteArray shown = text.trimmed().toLatin1();
    const double expected = std::strtod(shown.constData(), nullptr);
    if (ReadNumber(text) != expected || ReadNumber(TrimZeros(text)) != expected)
        std::abort();
    // The shown value is x rounded to the decimals: never off by a half unit or more.
    if (std::fabs(expected - x) > 0.5 * std::pow(10.0, -decimals) * (1 + 1e-9) + std::fabs(x) * 1e-15)
        std::abort();
    return 0;
}
