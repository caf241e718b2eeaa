#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace storage {

// An INI text held in memory line by line, so that a rewrite keeps every byte it does not change.
//
// Layout: "[name]" opens a section; "key=value" is a value; lines starting with ';' or '#', blank
// lines and anything else are kept as they are. Section and key names are matched without regard
// to ASCII case and with surrounding blanks ignored; values are returned byte for byte (everything
// after the first '='), except the line break. Each line keeps its own line break ("\r\n", "\n",
// or none on an unterminated last line); new lines take the break of the first terminated line,
// "\n" when there is none. A leading UTF-8 byte order mark is kept.
//
// When a section or key occurs more than once, the first occurrence wins, as for a lookup.
class IniFile {
public:
    using Entries = std::vector<std::pair<std::string, std::string>>;

    static IniFile parse(std::string_view bytes);
    std::string serialize() const;

    bool hasSection(std::string_view section) const;
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    // Replaces the value of an existing key in place, or adds the key at the end of the section
    // (the section is added at the end of the file when missing). Returns false, and changes
    // nothing, when the key or the value cannot be stored on one line (see isStorable).
    bool setValue(std::string_view section, std::string_view key, std::string_view value);

    // Rebuilds a section: its former lines (values, comments and blank lines alike) give way to
    // `entries`, at the place of the first occurrence; later occurrences are removed. A missing
    // section is added at the end. Entries that are not storable are written with an empty value.
    void replaceSection(std::string_view section, const Entries& entries);

    // True when `value` holds no line break and no NUL byte, so that it reads back unchanged.
    static bool isStorable(std::string_view value);
    // Keys must also be non-empty, free of '=' and of surrounding blanks, and not look like a
    // section header or a comment.
    static bool isStorableKey(std::string_view key);

private:
    struct Line {
        std::string text;
        std::string eol;
    };
    // Range of lines [header, end) of one section occurrence; header is the "[name]" line.
    struct Range {
        size_t header = 0, end = 0;
    };

    std::vector<Range> sections(std::string_view name) const;
    std::optional<size_t> findKey(std::string_view section, std::string_view key) const;
    std::string newLineBreak() const;
    // Index after which a new key of the section goes: after its last non-blank line.
    size_t insertionPoint(const Range& range) const;
    size_t appendSection(std::string_view section);

    std::string bom_;
    std::vector<Line> lines_;
};

}  // namespace storage
