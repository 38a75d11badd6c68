// Arbitrary bytes typed into an answer box, read as UTF-8 and as single bytes: never a crash,
// and the result is a number, infinity or NaN, and a well-formed number reads as strtod does.
#include "display/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto *chars = reinterpret_cast<const char *>(data);
    const QString utf8 = QString::fromUtf8(chars, qsizetype(size));
    const QString latin1 = QString::fromLatin1(chars, qsizetype(size));
    for (const QString &text : { utf8, latin1 }) {
        const double value = ReadNumber(text);
        // Plain ASCII decimals without blanks must read as the C library reads them.
        const std::string ascii(chars, size);
        if (!ascii.empty() && ascii.find_first_not_of("0123456789.eE+-") == std::string::npos) {
            char *end = nullptr;
            const double expected = std::strtod(ascii.c_str(), &end);
            const bool whole = end == ascii.c_str() + ascii.size() && ascii[0] != 'e' && ascii[0] != 'E'
                && ascii.find_first_of("0123456789") != std::string::npos;
            if (whole && !(value == expected || (std::isnan(value) && std::isnan(expected))))
                std::abort();
        }
    }
    return 0;
}
