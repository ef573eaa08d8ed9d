#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <cmath>
#include <limits>
#include <type_traits>

// Numbers in the text dive files (CSV profiles, UDDF). They are read and
// written without the C library's locale: the program takes LC_ALL from the
// environment, and under a French locale strtod and printf read and write
// "12,5" where the files hold "12.5".
namespace TextNumbers {

// Parses a decimal number ("12", "-3.5", ".5", "1e3", a leading '+'),
// surrounded by blanks or not. False for anything else, for "inf" and "nan",
// and for values outside the range of a double; `value` is then untouched.
bool parse(QByteArrayView text, double& value);

// The parsed number, or fallback when the text is not a finite number.
inline double valueOr(QByteArrayView text, double fallback)
{
    double value = fallback;
    return parse(text, value) ? value : fallback;
}

// Converts to an integer type without undefined behaviour: the value is
// truncated toward zero and clamped to the type's range; NaN gives 0.
template <class Int>
Int clampedTo(double value)
{
    static_assert(std::is_integral_v<Int>);
    if (std::isnan(value))
        return 0;
    constexpr double low = double(std::numeric_limits<Int>::min());
    constexpr double high = double(std::numeric_limits<Int>::max());
    if (value <= low)
        return std::numeric_limits<Int>::min();
    if (value >= high)
        return std::numeric_limits<Int>::max();
    return Int(value);
}

// The shortest text that reads back as the same double ("12.5", "291.9",
// "1e+30"). A value that is not finite is written as "0", the reading of what
// is not a number. Appends to out.
void appendShortest(QByteArray& out, double value);

// The same into a buffer of at least ShortestChars bytes, NUL-terminated;
// returns the text's length.
constexpr int ShortestChars = 32;
int formatShortest(char* buffer, double value);

} // namespace TextNumbers
