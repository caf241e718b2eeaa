#include "cli/Args.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "engine/NumberFormat.h"

namespace cli {

bool parseInteger(const std::string& text, long long& out)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    out = std::strtoll(text.c_str(), &end, 10);
    return errno == 0 && end && *end == '\0';
}

bool parseReal(const std::string& text, double& out)
{
    if (text.empty())
        return false;
    errno = 0;
    char* end = nullptr;
    out = std::strtod(text.c_str(), &end);
    return errno == 0 && end && *end == '\0' && std::isfinite(out);
}

std::string Args::value(const std::string& name)
{
    if (done())
        throw UsageError(name + ": a value is missing");
    return take();
}

long long Args::integer(const std::string& name, long long min, long long max)
{
    const std::string text = value(name);
    long long v = 0;
    if (!parseInteger(text, v) || v < min || v > max)
        throw UsageError(name + ": expects a whole number from " + std::to_string(min) + " to " + std::to_string(max)
                         + ", not \"" + text + "\"");
    return v;
}

double Args::real(const std::string& name, double min, double max)
{
    const std::string text = value(name);
    double v = 0;
    if (!parseReal(text, v) || v < min || v > max)
        throw UsageError(name + ": expects a number from " + engine::formatGeneral(min, 16) + " to "
                         + engine::formatGeneral(max, 16) + ", not \"" + text + "\"");
    return v;
}

std::pair<double, double> Args::realPair(const std::string& name)
{
    const std::string text = value(name);
    const size_t comma = text.find(',');
    double a = 0, b = 0;
    if (comma == std::string::npos || !parseReal(text.substr(0, comma), a) || !parseReal(text.substr(comma + 1), b))
        throw UsageError(name + ": expects two numbers as X,Y, not \"" + text + "\"");
    return {a, b};
}

std::pair<long long, long long> Args::sizePair(const std::string& name, char separator, long long min, long long max)
{
    const std::string text = value(name);
    const size_t sep = text.find(separator);
    long long a = 0, b = 0;
    if (sep == std::string::npos || !parseInteger(text.substr(0, sep), a) || !parseInteger(text.substr(sep + 1), b)
        || a < min || a > max || b < min || b > max)
        throw UsageError(name + ": expects W" + separator + "H with each from " + std::to_string(min) + " to "
                         + std::to_string(max) + ", not \"" + text + "\"");
    return {a, b};
}

std::vector<long long> Args::integerList(const std::string& name, size_t count)
{
    const std::string text = value(name);
    std::vector<long long> values;
    size_t start = 0;
    while (true) {
        const size_t comma = text.find(',', start);
        long long v = 0;
        if (!parseInteger(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start), v))
            break;
        values.push_back(v);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (values.size() != count)
        throw UsageError(name + ": expects " + std::to_string(count) + " whole numbers separated by commas, not \""
                         + text + "\"");
    return values;
}

bool Args::onOff(const std::string& name)
{
    const std::string text = value(name);
    if (text == "on")
        return true;
    if (text == "off")
        return false;
    throw UsageError(name + ": expects on or off, not \"" + text + "\"");
}

}  // namespace cli
