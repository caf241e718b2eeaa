#include "storage/PaletteFiles.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <system_error>

#include "storage/AtomicFile.h"
#include "storage/DocumentHeader.h"

namespace storage {
namespace {

namespace fs = std::filesystem;


void putU16(std::vector<uint8_t>& b, size_t at, uint16_t v)
{
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}

uint16_t getU16(const uint8_t* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

// String[n]: a length byte, then up to n bytes of text, the rest 0.
void putShortString(std::vector<uint8_t>& b, size_t at, size_t n, const char* text)
{
    const size_t len = std::min(std::strlen(text), n);
    b[at] = uint8_t(len);
    std::memcpy(b.data() + at + 1, text, len);
}

// The 0x38-byte head of ".p8" and ".p24" files.
std::vector<uint8_t> fileHead(size_t fileSize, uint16_t magic, double savedAt)
{
    std::vector<uint8_t> b(fileSize, 0);
    putU16(b, 0x000, magic);
    // The identification strings and format number are the document header's.
    putShortString(b, hdr::ProductName, hdr::ShortText, DocumentProductName);
    putShortString(b, hdr::VersionTag, hdr::ShortText, DocumentVersionTag);
    putShortString(b, hdr::Identification, hdr::IdentificationText, DocumentIdentification);
    putU16(b, hdr::FormatNumber, DocumentFormatNumber);
    std::memcpy(b.data() + 0x030, &savedAt, sizeof savedAt);  // IEEE double, little-endian host
    return b;
}

// Reads the first `size` bytes of a file into `out` (zero-filled beyond what could be read).
// False when the file cannot be opened or is shorter.
bool readPrefix(const std::string& path, size_t size, std::vector<uint8_t>& out)
{
    out.assign(size, 0);
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    in.read(reinterpret_cast<char*>(out.data()), std::streamsize(size));
    return size_t(in.gcount()) == size;
}

// The target is either the old file or the complete new one.
bool writeFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes)
{
    return writeFileAtomically(path, bytes.data(), bytes.size());
}

std::string stemOf(const std::string& path)
{
    return fs::path(path).stem().string();
}

std::string fileNameOf(const std::string& path)
{
    return fs::path(path).filename().string();
}

std::string directoryOf(const std::string& path)
{
    std::error_code ec;
    fs::path abs = fs::absolute(fs::path(path), ec);
    if (ec)
        abs = fs::path(path);
    return abs.parent_path().string();
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

size_t skipBlanks(std::string_view line, size_t at)
{
    while (at < line.size() && isBlank(line[at]))
        ++at;
    return at;
}

// Reads three decimal numbers 0..255 separated by blanks at the start of `line` (leading blanks
// allowed). Each number must end at a blank or the end of the line; what follows the third is ignored.
bool parseRgbLine(std::string_view line, colour::PaletteEntry& entry)
{
    uint8_t channels[3];
    size_t at = skipBlanks(line, 0);
    for (int c = 0; c < 3; ++c) {
        if (c > 0) {
            const size_t next = skipBlanks(line, at);
            if (next == at)
                return false;  // numbers run together, or a sign or letter where a blank should be
            at = next;
        }
        const size_t start = at;
        unsigned value = 0;
        while (at < line.size() && std::isdigit(static_cast<unsigned char>(line[at]))) {
            value = value * 10 + unsigned(line[at] - '0');
            if (value > 255)
                return false;
            ++at;
        }
        if (at == start)
            return false;
        if (at < line.size() && !isBlank(line[at]))
            return false;  // "12.5", "12,", "-1"
        channels[c] = uint8_t(value);
    }
    entry = {channels[0], channels[1], channels[2], 0};
    return true;
}

bool startsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

std::string_view trimmed(std::string_view text)
{
    size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b])))
        ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1])))
        --e;
    return text.substr(b, e - b);
}

ColourFileResult failed(bool extraBeep = false)
{
    ColourFileResult r;
    r.ok = false;
    r.extraBeep = extraBeep;
    return r;
}

}  // namespace

double currentFileDate()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    // Days from 1970-01-01 to the local civil date (H. Hinnant's days_from_civil), then to 1899-12-30.
    const int y = local.tm_year + 1900 - (local.tm_mon < 2 ? 1 : 0);
    const int m = local.tm_mon + 1;
    const int d = local.tm_mday;
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yoe = y - era * 400;
    const int doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const long days1970 = long(era) * 146097 + doe - 719468;
    constexpr long Days1899To1970 = 25569;
    const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec;
    return double(days1970 + Days1899To1970) + seconds / 86400.0;
}

std::vector<uint8_t> encodeP8File(const colour::Palette& palette, double savedAt)
{
    std::vector<uint8_t> b = fileHead(P8FileSize, PaletteMagic, savedAt);
    const colour::PaletteBytes record = colour::encodePalette(palette);
    std::copy(record.begin(), record.end(), b.begin() + ColourRecordOffset);
    return b;
}

std::vector<uint8_t> encodeActFile(const colour::Palette& palette)
{
    std::vector<uint8_t> b(ActFileSize, 0);
    for (size_t i = 0; i < 256; ++i) {
        b[3 * i] = palette.entries[i].red;
        b[3 * i + 1] = palette.entries[i].green;
        b[3 * i + 2] = palette.entries[i].blue;
    }
    return b;
}

std::vector<uint8_t> encodeP24File(const colour::ColorTable24& table, double savedAt)
{
    std::vector<uint8_t> b = fileHead(P24FileSize, TableMagic, savedAt);
    const colour::ColorTable24Bytes record = colour::encodeColorTable24(table);
    std::copy(record.begin(), record.end(), b.begin() + ColourRecordOffset);
    return b;
}

std::optional<PaletteFormat> paletteFormatFromPath(const std::string& path)
{
    std::string ext = fs::path(path).extension().string();
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (ext == ".p8") return PaletteFormat::P8;
    if (ext == ".act") return PaletteFormat::Act;
    if (ext == ".mbt") return PaletteFormat::Document;
    if (ext == ".map") return PaletteFormat::Map;
    if (ext == ".gpl") return PaletteFormat::Gpl;
    return std::nullopt;
}

bool decodeTextPalette(std::istream& in, PaletteFormat format, colour::Palette& out)
{
    if (format != PaletteFormat::Map && format != PaletteFormat::Gpl)
        return false;
    const bool gimp = format == PaletteFormat::Gpl;
    std::vector<colour::PaletteEntry> colours;
    std::string text;
    bool firstLine = true;
    while (colours.size() < 256 && std::getline(in, text)) {
        std::string_view line(text);
        if (firstLine && startsWith(line, "\xEF\xBB\xBF"))
            line.remove_prefix(3);  // a UTF-8 byte order mark
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (firstLine) {
            firstLine = false;
            if (gimp) {
                if (trimmed(line) != "GIMP Palette")
                    return false;
                continue;
            }
        }
        const std::string_view content = trimmed(line);
        if (content.empty())
            continue;
        if (gimp && (content.front() == '#' || startsWith(content, "Name:") || startsWith(content, "Columns:")))
            continue;
        colour::PaletteEntry entry;
        if (!parseRgbLine(line, entry))
            return false;
        colours.push_back(entry);
    }
    if (in.bad())
        return false;
    if (colours.empty())
        return false;  // an empty file, a header alone, or a read error before the first colour
    colour::Palette p;
    p.version = colour::Palette::Version;
    p.count = colour::Palette::Count;
    for (size_t i = 0; i < 256; ++i)
        p.entries[i] = colours[i % colours.size()];
    p.entries[0] = {0, 0, 0, 0};
    out = p;
    return true;
}

colour::Palette decodeActFile(const uint8_t* bytes)
{
    colour::Palette p;
    p.version = colour::Palette::Version;
    p.count = colour::Palette::Count;
    for (size_t i = 0; i < 256; ++i)
        p.entries[i] = {bytes[3 * i], bytes[3 * i + 1], bytes[3 * i + 2], 0};
    return p;
}

ColourFileResult SavePalette8(const colour::Palette& palette, const std::string& path, PaletteFormat format,
                              std::string& name)
{
    std::vector<uint8_t> image;
    if (format == PaletteFormat::P8)
        image = encodeP8File(palette, currentFileDate());
    else if (format == PaletteFormat::Act)
        image = encodeActFile(palette);
    else
        return failed();
    if (!writeFileReplacing(path, image))
        return failed();
    name = stemOf(path);
    ColourFileResult r;
    r.paletteDirectory = directoryOf(path);
    return r;
}

ColourFileResult LoadPalette8(colour::Palette& palette, std::string& name, const std::string& path,
                              PaletteFormat format, LoadOrigin origin)
{
    if (origin == LoadOrigin::Dropped)
        format = PaletteFormat::P8;
    std::vector<uint8_t> bytes;
    ColourFileResult r;
    switch (format) {
    case PaletteFormat::P8:
        if (!readPrefix(path, P8FileSize, bytes) || getU16(bytes.data()) != PaletteMagic)
            return failed();
        palette = colour::decodePalette(bytes.data() + ColourRecordOffset);
        if (origin == LoadOrigin::Dialog)
            r.paletteDirectory = directoryOf(path);
        break;
    case PaletteFormat::Act:
        if (!readPrefix(path, ActFileSize, bytes))
            return failed();
        palette = decodeActFile(bytes.data());
        r.paletteDirectory = directoryOf(path);
        break;
    case PaletteFormat::Map:
    case PaletteFormat::Gpl: {
        std::ifstream in(path, std::ios::binary);
        colour::Palette imported;
        if (!in || !decodeTextPalette(in, format, imported))
            return failed();
        palette = imported;
        r.paletteDirectory = directoryOf(path);
        break;
    }
    case PaletteFormat::Document: {
        colour::Palette fromDocument;
        if (!ReadHeaderPalette(path, fromDocument))
            return failed();
        palette = fromDocument;
        break;
    }
    default:
        return failed();
    }
    name = stemOf(path);
    return r;
}

ColourFileResult SaveTable24(const colour::ColorTable24& table, const std::string& path, std::string& name)
{
    if (!writeFileReplacing(path, encodeP24File(table, currentFileDate())))
        return failed();
    name = fileNameOf(path);
    ColourFileResult r;
    r.paletteDirectory = directoryOf(path);
    return r;
}

ColourFileResult LoadTable24(colour::ColorTable24& table, std::string& name, const std::string& path,
                             TableFormat format, LoadOrigin origin)
{
    if (origin == LoadOrigin::Dropped)
        format = TableFormat::P24;
    std::vector<uint8_t> bytes;
    ColourFileResult r;
    if (format == TableFormat::P24) {
        const bool complete = readPrefix(path, P24FileSize, bytes);
        // A dropped file with the wrong magic (or none) beeps once more than other failures.
        if (getU16(bytes.data()) != TableMagic)
            return failed(origin == LoadOrigin::Dropped);
        if (!complete)
            return failed();
        table = colour::decodeColorTable24(bytes.data() + ColourRecordOffset);
        if (origin == LoadOrigin::Dialog)
            r.paletteDirectory = directoryOf(path);
    } else if (format == TableFormat::Document) {
        colour::ColorTable24 fromDocument;
        if (!ReadHeaderTable24(path, fromDocument))
            return failed();
        table = fromDocument;
    } else {
        return failed();
    }
    name = stemOf(path);
    return r;
}

}  // namespace storage
