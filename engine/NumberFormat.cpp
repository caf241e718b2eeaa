#include "engine/NumberFormat.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace engine {
namespace {

// Splits |value| into significant digits (without trailing zeros) and a decimal exponent,
// so that |value| = 0.d1d2d3... x 10^(exponent + 1).
struct Decimal {
    std::string digits;
    int exponent = 0;
};

Decimal decompose(double value, int digits)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.*e", digits - 1, std::fabs(value));
    Decimal d;
    const char* p = buffer;
    for (; *p && *p != 'e'; ++p)
        if (*p >= '0' && *p <= '9')
            d.digits += *p;
    d.exponent = *p == 'e' ? std::atoi(p + 1) : 0;
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

}  // namespace

std::string formatGeneral(double value, int digits)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    if (value == 0)
        return "0";
    const Decimal d = decompose(value, digits);
    std::string out = value < 0 ? "-" : "";
    const int e = d.exponent;
    if (e >= -5 && e < digits) {
        if (e < 0) {
            out += "0.";
            out.append(size_t(-e - 1), '0');
            out += d.digits;
        } else {
            const size_t intDigits = size_t(e) + 1;
            if (d.digits.size() <= intDigits) {
                out += d.digits;
                out.append(intDigits - d.digits.size(), '0');
            } else {
                out += d.digits.substr(0, intDigits);
                out += '.';
                out += d.digits.substr(intDigits);
            }
        }
        return out;
    }
    out += d.digits[0];
    if (d.digits.size() > 1) {
        out += '.';
        out += d.digits.substr(1);
    }
    out += 'E';
    if (e < 0)
        out += '-';
    out += std::to_string(std::abs(e));
    return out;
}

std::string formatScientific(double value, int digits, int exponentDigits)
{
    if (std::isnan(value))
        return "NAN";
    if (std::isinf(value))
        return value < 0 ? "-INF" : "INF";
    char buffer[80];
    std::snprintf(buffer, sizeof buffer, "%.*E", digits - 1, value);
    std::string s = buffer;
    const size_t e = s.find('E');
    std::string mantissa = s.substr(0, e);
    const int exponent = std::atoi(s.c_str() + e + 1);
    std::string expText = std::to_string(std::abs(exponent));
    if (int(expText.size()) < exponentDigits)
        expText.insert(0, size_t(exponentDigits) - expText.size(), '0');
    return mantissa + 'E' + (exponent < 0 ? '-' : '+') + expText;
}

std::string formatThousands(uint64_t value, bool emptyForZero)
{
    if (value == 0)
        return emptyForZero ? "" : "0";
    std::string digits = std::to_string(value);
    std::string out;
    const size_t n = digits.size();
    for (size_t i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += ',';
        out += digits[i];
    }
    return out;
}

}  // namespace engine
