#include "divedata/textnumbers.h"

#include <charconv>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

} // namespace

namespace TextNumbers {

bool parse(QByteArrayView text, double& value)
{
    const char* begin = text.data();
    const char* end = begin + text.size();
    while (begin < end && isBlank(*begin))
        ++begin;
    while (end > begin && isBlank(end[-1]))
        --end;
    // from_chars takes no '+'; a second sign after it is still refused below.
    if (begin < end && *begin == '+' && end - begin > 1 && begin[1] != '-')
        ++begin;
    if (begin == end)
        return false;
    double parsed = 0.0;
    const std::from_chars_result result = std::from_chars(begin, end, parsed, std::chars_format::general);
    // Out of range (overflow, or underflow to a denormal the library refuses)
    // and trailing text count as "not a number", as does inf/nan.
    if (result.ec != std::errc() || result.ptr != end || !std::isfinite(parsed))
        return false;
    value = parsed;
    return true;
}

int formatShortest(char* buffer, double value)
{
    if (!std::isfinite(value))
        value = 0.0;
    if (value == 0.0)
        value = 0.0; // "-0" reads back fine but means nothing in a dive file
    const std::to_chars_result result = std::to_chars(buffer, buffer + ShortestChars - 1, value);
    *result.ptr = '\0';
    return int(result.ptr - buffer);
}

void appendShortest(QByteArray& out, double value)
{
    char buffer[ShortestChars];
    const int length = formatShortest(buffer, value);
    out.append(buffer, length);
}

} // namespace TextNumbers
