#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "engine/Catalogue.h"

namespace cli {

// A bad command line: the message names the option and what it accepts. Exit status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

inline constexpr int ExitOk = 0;
inline constexpr int ExitFailure = 1;  // a document that cannot be read or written
inline constexpr int ExitUsage = 2;

// Walks the words of a command line. Options are "--name value"; values are checked by the typed readers.
class Args {
public:
    explicit Args(std::vector<std::string> words) : m_words(std::move(words)) {}

    bool done() const { return m_next >= m_words.size(); }
    const std::string& peek() const { return m_words[m_next]; }
    std::string take() { return m_words[m_next++]; }
    // The value that follows option `name`.
    std::string value(const std::string& name);

    long long integer(const std::string& name, long long min, long long max);
    long long integer(const std::string& name, engine::IntRange range) { return integer(name, range.min, range.max); }
    double real(const std::string& name, double min, double max);
    std::pair<double, double> realPair(const std::string& name);
    std::pair<long long, long long> sizePair(const std::string& name, char separator, long long min, long long max);
    std::pair<long long, long long> sizePair(const std::string& name, char separator, engine::IntRange range)
    {
        return sizePair(name, separator, range.min, range.max);
    }
    std::vector<long long> integerList(const std::string& name, size_t count);
    bool onOff(const std::string& name);

private:
    std::vector<std::string> m_words;
    size_t m_next = 0;
};

// Strict number parsing: the whole text must be the number.
bool parseInteger(const std::string& text, long long& out);
bool parseReal(const std::string& text, double& out);

}  // namespace cli
