// Any bytes as a typed text, taken as UTF-8 and as Latin-1: reading never fails, gives exactly
// what the C library reads for a well-formed number, and NaN for anything else.
#include "display/number_text.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {

// The text with the input method's full-width forms as ASCII; false if any other character is
// not ASCII.
bool asciiOf(const QString &text, std::string &out)
{
    out.clear();
    for (const QChar c : text) {
        char16_t u = c.unicode();
        if (u >= 0xFF10 && u <= 0xFF19)
            u = char16_t(u - 0xFF10 + '0');
        else if (u == 0xFF0E)
            u = '.';
        else if (u == 0xFF0B)
            u = '+';
        else if (u == 0xFF0D)
            u = '-';
        else if (u == 0x3000)
            u = ' ';
        if (u >= 0x80)
            return false;
        out.push_back(char(u));
    }
    return true;
}

// What the text must read as: the grammar checked by spans, the value by strtod.
double expectedValue(const QString &text)
{
    constexpr double NotANumber = std::numeric_limits<double>::quiet_NaN();
    if (text.isEmpty())
        return 0.0;
    std::string s;
    if (!asciiOf(text, s))
        return NotANumber;
    const std::size_t first = s.find_first_not_of(' ');
    if (first == std::string::npos)
        return NotANumber;
    const std::string token = s.substr(first, s.find_last_not_of(' ') + 1 - first);
    const std::size_t size = token.size();
    std::size_t i = 0;
    const auto digitRun = [&] {
        const std::size_t from = i;
        i = std::min(token.find_first_not_of("0123456789", i), size);
        return i - from;
    };
    if (token[i] == '+' || token[i] == '-')
        ++i;
    std::size_t digits = digitRun();
    bool point = false, exponent = false;
    if (i < size && token[i] == '.') {
        point = true;
        ++i;
        digits += digitRun();
    }
    if (i < size && (token[i] == 'e' || token[i] == 'E')) {
        ++i;
        if (i < size && (token[i] == '+' || token[i] == '-'))
            ++i;
        if (digitRun() == 0)
            return NotANumber;
        exponent = true;
    }
    if (i != size || (digits == 0 && !point && !exponent))
        return NotANumber;
    if (digits == 0)
        return token[0] == '-' ? -0.0 : 0.0;
    return std::strtod(token.c_str(), nullptr);
}

void check(const QString &text)
{
    const double got = ReadNumber(text);
    const double want = expectedValue(text);
    const bool same =
            std::isnan(want) ? std::isnan(got) : std::memcmp(&got, &want, sizeof got) == 0;
    if (!same) {
        std::fprintf(stderr, "ReadNumber(\"%s\") = %a, expected %a\n", text.toUtf8().constData(),
                     got, want);
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const auto *bytes = reinterpret_cast<const char *>(data);
    check(QString::fromUtf8(bytes, qsizetype(size)));
    check(QString::fromLatin1(bytes, qsizetype(size)));
    return 0;
}
