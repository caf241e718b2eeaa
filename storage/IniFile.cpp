#include "storage/IniFile.h"

namespace storage {

namespace {

constexpr std::string_view Utf8Bom = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool sameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// The name of a "[name]" line, or nothing when the line is no section header.
std::optional<std::string_view> headerName(std::string_view text)
{
    const std::string_view t = trim(text);
    if (t.empty() || t.front() != '[')
        return std::nullopt;
    const size_t close = t.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return trim(t.substr(1, close - 1));
}

bool isComment(std::string_view text)
{
    const std::string_view t = trim(text);
    return !t.empty() && (t.front() == ';' || t.front() == '#');
}

// The key of a "key=value" line, or nothing.
std::optional<std::string_view> keyName(std::string_view text)
{
    if (isComment(text) || headerName(text))
        return std::nullopt;
    const size_t eq = text.find('=');
    if (eq == std::string_view::npos)
        return std::nullopt;
    const std::string_view key = trim(text.substr(0, eq));
    if (key.empty())
        return std::nullopt;
    return key;
}

}  // namespace

IniFile IniFile::parse(std::string_view bytes)
{
    IniFile ini;
    if (bytes.substr(0, Utf8Bom.size()) == Utf8Bom) {
        ini.bom_ = Utf8Bom;
        bytes.remove_prefix(Utf8Bom.size());
    }
    while (!bytes.empty()) {
        const size_t nl = bytes.find('\n');
        Line line;
        if (nl == std::string_view::npos) {
            line.text = bytes;
            bytes = {};
        } else {
            const bool crlf = nl > 0 && bytes[nl - 1] == '\r';
            line.text = bytes.substr(0, crlf ? nl - 1 : nl);
            line.eol = crlf ? "\r\n" : "\n";
            bytes.remove_prefix(nl + 1);
        }
        ini.lines_.push_back(std::move(line));
    }
    return ini;
}

std::string IniFile::serialize() const
{
    std::string out = bom_;
    for (const Line& line : lines_) {
        out += line.text;
        out += line.eol;
    }
    return out;
}

bool IniFile::isStorable(std::string_view value)
{
    return value.find_first_of(std::string_view("\r\n\0", 3)) == std::string_view::npos;
}

bool IniFile::isStorableKey(std::string_view key)
{
    return isStorable(key) && !key.empty() && trim(key) == key && key.find('=') == std::string_view::npos
           && key.front() != '[' && key.front() != ';' && key.front() != '#';
}

std::vector<IniFile::Range> IniFile::sections(std::string_view name) const
{
    std::vector<Range> found;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const auto header = headerName(lines_[i].text);
        if (!header || !sameName(*header, trim(name)))
            continue;
        size_t end = i + 1;
        while (end < lines_.size() && !headerName(lines_[end].text))
            ++end;
        found.push_back({i, end});
        i = end - 1;
    }
    return found;
}

bool IniFile::hasSection(std::string_view section) const { return !sections(section).empty(); }

std::optional<size_t> IniFile::findKey(std::string_view section, std::string_view key) const
{
    for (const Range& range : sections(section)) {
        for (size_t i = range.header + 1; i < range.end; ++i) {
            const auto name = keyName(lines_[i].text);
            if (name && sameName(*name, trim(key)))
                return i;
        }
    }
    return std::nullopt;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const
{
    const auto index = findKey(section, key);
    if (!index)
        return std::nullopt;
    const std::string& text = lines_[*index].text;
    return text.substr(text.find('=') + 1);
}

std::string IniFile::newLineBreak() const
{
    for (const Line& line : lines_)
        if (!line.eol.empty())
            return line.eol;
    return "\n";
}

size_t IniFile::insertionPoint(const Range& range) const
{
    size_t at = range.end;
    while (at > range.header + 1 && trim(lines_[at - 1].text).empty())
        --at;
    return at;
}

size_t IniFile::appendSection(std::string_view section)
{
    const std::string eol = newLineBreak();
    if (!lines_.empty()) {
        if (lines_.back().eol.empty())
            lines_.back().eol = eol;
        if (!trim(lines_.back().text).empty())
            lines_.push_back({"", eol});
    }
    lines_.push_back({"[" + std::string(section) + "]", eol});
    return lines_.size() - 1;
}

bool IniFile::setValue(std::string_view section, std::string_view key, std::string_view value)
{
    if (!isStorableKey(key) || !isStorable(value) || !isStorable(section))
        return false;
    const std::string text = std::string(key) + "=" + std::string(value);
    if (const auto index = findKey(section, key)) {
        lines_[*index].text = text;
        return true;
    }
    auto found = sections(section);
    size_t at;
    if (found.empty())
        at = appendSection(section) + 1;
    else
        at = insertionPoint(found.front());
    // The line before the new one may be an unterminated last line.
    if (lines_[at - 1].eol.empty())
        lines_[at - 1].eol = newLineBreak();
    lines_.insert(lines_.begin() + at, Line{text, newLineBreak()});
    return true;
}

void IniFile::replaceSection(std::string_view section, const Entries& entries)
{
    auto found = sections(section);
    const std::string eol = newLineBreak();
    size_t header;
    if (found.empty()) {
        header = appendSection(section);
    } else {
        // Later occurrences go first so that the earlier ranges stay valid.
        for (size_t i = found.size(); i-- > 1;)
            lines_.erase(lines_.begin() + found[i].header, lines_.begin() + found[i].end);
        header = found.front().header;
        const bool followed = found.front().end < lines_.size();
        lines_.erase(lines_.begin() + header + 1, lines_.begin() + found.front().end);
        // Keep one blank line between this section and the next one.
        if (followed)
            lines_.insert(lines_.begin() + header + 1, Line{"", eol});
        if (lines_[header].eol.empty())
            lines_[header].eol = eol;
    }
    std::vector<Line> body;
    for (const auto& [key, value] : entries) {
        if (!isStorableKey(key))
            continue;
        body.push_back({key + "=" + (isStorable(value) ? value : std::string()), eol});
    }
    lines_.insert(lines_.begin() + header + 1, body.begin(), body.end());
}

}  // namespace storage
