#include "storage/Preferences.h"

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <locale>
#include <sstream>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "storage/AtomicFile.h"
#include "storage/IniFile.h"

namespace storage {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view SectionGeneral = "General";
constexpr std::string_view SectionPrefer = "Prefer";
constexpr std::string_view SectionFiles = "LFiles";
constexpr std::array<std::string_view, RecentFileCount> RecentKeys = {"L001", "L002", "L003", "L004"};

// A preferences file is a few hundred bytes; anything far larger is not one of ours.
constexpr std::uintmax_t MaxFileSize = 1 << 20;

enum class ReadStatus { Ok, Missing, Unreadable };

ReadStatus readWholeFile(const fs::path& file, std::string& bytes)
{
    std::error_code ec;
    const auto status = fs::status(file, ec);
    if (status.type() == fs::file_type::not_found)  // reported with an error code as well
        return ReadStatus::Missing;
    if (ec)
        return ReadStatus::Unreadable;
    if (!fs::is_regular_file(status))
        return ReadStatus::Unreadable;
    const auto size = fs::file_size(file, ec);
    if (ec || size > MaxFileSize)
        return ReadStatus::Unreadable;
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return ReadStatus::Unreadable;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad())
        return ReadStatus::Unreadable;
    bytes = std::move(content).str();
    return ReadStatus::Ok;
}

// Replaces `file` as a whole through an AtomicFile (temporary file beside it, then rename), so that
// a failure at any step leaves the former file as it was. A symbolic link is kept: the file it
// points to is the one replaced.
bool writeFileReplacing(const fs::path& file, const std::string& bytes)
{
    std::error_code ec;
    fs::path target = file;
    if (fs::symlink_status(file, ec).type() == fs::file_type::symlink) {
        target = fs::weakly_canonical(file, ec);  // rewrite the file the link points to
        if (ec)
            return false;
    }
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0) {
        // A file that may not be written (read-only, a directory) is left alone, although the
        // directory would allow replacing it. A file without any write permission counts as
        // read-only even for a user (root) whom the system would let write it.
        if ((st.st_mode & 0222) == 0)
            return false;
        const int probe = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
        if (probe < 0)
            return false;
        ::close(probe);
    }
    return writeFileAtomically(target.string(), bytes.data(), bytes.size());
}

// Decimal integer with optional sign and surrounding blanks; anything else is no number.
std::optional<int64_t> parseInteger(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}

class Reader {
public:
    explicit Reader(const IniFile& ini) : ini_(ini) {}

    int integer(std::string_view key, int fallback, int64_t low = INT32_MIN, int64_t high = INT32_MAX) const
    {
        const auto text = ini_.value(SectionPrefer, key);
        const auto value = text ? parseInteger(*text) : std::nullopt;
        return value && *value >= low && *value <= high ? int(*value) : fallback;
    }
    bool boolean(std::string_view key, bool fallback) const { return integer(key, fallback ? 1 : 0) != 0; }
    uint32_t colour(std::string_view key, uint32_t fallback) const
    {
        const auto text = ini_.value(SectionPrefer, key);
        const auto value = text ? parseInteger(*text) : std::nullopt;
        return value && *value >= 0 && *value <= 0xFFFFFF ? uint32_t(*value) : fallback;
    }
    std::string string(std::string_view section, std::string_view key, std::string_view fallback) const
    {
        return ini_.value(section, key).value_or(std::string(fallback));
    }

private:
    const IniFile& ini_;
};

int correctFontSize(int size) { return size > 10 || size < 6 ? 8 : size; }

// Works in 64 bits: the value read may be any 32-bit integer, and lowering INT32_MIN (even) by one
// would overflow an int.
int correctMarkerSize(int size)
{
    int64_t wide = size;
    if (wide % 2 == 0)
        --wide;
    if (wide > 41)
        wide = 41;
    if (wide < 21)
        wide = 21;
    return int(wide);
}

}  // namespace

bool addRecentFile(RecentFiles& recent, std::string_view path)
{
    if (!IniFile::isStorable(path))
        return false;
    for (const std::string& entry : recent)
        if (entry == path)
            return false;
    for (size_t i = recent.size() - 1; i > 0; --i)
        recent[i] = std::move(recent[i - 1]);
    recent[0] = path;
    return true;
}

namespace {

// The first `count` UTF-8 characters of `text` (bytes that start no character count as one).
std::string_view firstCharacters(std::string_view text, size_t count)
{
    size_t end = 0;
    for (size_t n = 0; n < count && end < text.size(); ++n) {
        ++end;
        while (end < text.size() && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
            ++end;
    }
    return text.substr(0, end);
}

}  // namespace

std::string recentFileCaption(std::string_view path)
{
    const size_t slash = path.rfind('/');
    const std::string_view directory = slash == std::string_view::npos ? std::string_view() : path.substr(0, slash + 1);
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    return std::string(firstCharacters(directory, 8)) + "..." + std::string(firstCharacters(name, 15));
}

Preferences parsePreferences(std::string_view text)
{
    const IniFile ini = IniFile::parse(text);
    const Reader r(ini);
    const Preferences d;  // the defaults
    Preferences p;
    p.maximized = r.boolean("Wst", d.maximized);
    p.width = r.integer("Wid", d.width);
    p.height = r.integer("Hei", d.height);
    p.language = uint8_t(r.integer("Lang", d.language, 0, 1));
    p.previewMode = r.integer("Prev", d.previewMode, 0, 2);
    p.hints = r.boolean("Hint", d.hints);
    p.beep = r.boolean("Beep", d.beep);
    p.lineColour = r.colour("Line", d.lineColour);
    p.outOfRangeColour = r.colour("OutR", d.outOfRangeColour);
    p.markerColour = r.colour("MarR", d.markerColour);
    p.markerSize = correctMarkerSize(r.integer("MarS", d.markerSize));
    p.markersShown = r.boolean("ShMk", d.markersShown);
    p.fontSize = correctFontSize(r.integer("FntS", d.fontSize));
    p.printDpi = r.integer("DpiP", d.printDpi, 1, INT32_MAX);
    p.printDpiIndex = uint8_t(r.integer("DpiI", d.printDpiIndex, 0, PrintDpiChoices - 1));
    p.printFrame = r.boolean("PriA", d.printFrame);
    p.printFrameColour = r.colour("PriC", d.printFrameColour);
    p.printFrameWidth = r.integer("PriW", d.printFrameWidth);
    p.printCaption = r.boolean("PriB", d.printCaption);
    p.captionFont = r.string(SectionPrefer, "PriF", d.captionFont);
    p.captionFontSize = r.integer("PriS", d.captionFontSize);
    p.captionFontColour = r.colour("PriD", d.captionFontColour);
    p.parameterFont = r.string(SectionPrefer, "PriP", d.parameterFont);
    p.parameterFontSize = r.integer("PrPS", d.parameterFontSize);
    p.parameterFontColour = r.colour("PrPC", d.parameterFontColour);
    p.computeAfterViewChange = r.boolean("CmpV", d.computeAfterViewChange);
    for (int i = 0; i < RecentFileCount; ++i)
        p.recentFiles[i] = r.string(SectionFiles, RecentKeys[i], "");
    return p;
}

Preferences loadPreferences(const fs::path& file)
{
    std::string bytes;
    if (readWholeFile(file, bytes) != ReadStatus::Ok)
        return Preferences{};
    return parsePreferences(bytes);
}

std::string renderPreferences(std::string_view previous, const Preferences& p, std::string_view dateTime)
{
    IniFile ini = IniFile::parse(previous);
    auto number = [](int64_t v) { return std::to_string(v); };
    auto flag = [](bool v) { return std::string(v ? "1" : "0"); };
    // A font name that cannot be stored on one line is written as the default.
    auto font = [](const std::string& name) {
        return IniFile::isStorable(name) ? name : Preferences{}.captionFont;
    };
    ini.replaceSection(SectionGeneral, {
        {"Software", std::string(ProductName)},
        {"Version", std::string(ProductVersionText)},
        {"Build", number(ProductBuild)},
        {"Copyright", std::string(CopyrightText)},
        {"DateTime", std::string(dateTime)},
    });
    ini.replaceSection(SectionPrefer, {
        {"Wst", flag(p.maximized)},
        {"Wid", number(p.width)},
        {"Hei", number(p.height)},
        {"Lang", number(p.language)},
        {"Prev", number(p.previewMode)},
        {"Hint", flag(p.hints)},
        {"Beep", flag(p.beep)},
        {"Line", number(p.lineColour)},
        {"OutR", number(p.outOfRangeColour)},
        {"MarR", number(p.markerColour)},
        {"MarS", number(p.markerSize)},
        {"ShMk", flag(p.markersShown)},
        {"FntS", number(p.fontSize)},
        {"DpiP", number(p.printDpi)},
        {"DpiI", number(p.printDpiIndex)},
        {"PriA", flag(p.printFrame)},
        {"PriC", number(p.printFrameColour)},
        {"PriW", number(p.printFrameWidth)},
        {"PriB", flag(p.printCaption)},
        {"PriF", font(p.captionFont)},
        {"PriS", number(p.captionFontSize)},
        {"PriD", number(p.captionFontColour)},
        {"PriP", font(p.parameterFont)},
        {"PrPS", number(p.parameterFontSize)},
        {"PrPC", number(p.parameterFontColour)},
        {"CmpV", flag(p.computeAfterViewChange)},
    });
    for (int i = 0; i < RecentFileCount; ++i) {
        const std::string& path = p.recentFiles[i];
        ini.setValue(SectionFiles, RecentKeys[i], IniFile::isStorable(path) ? path : std::string());
    }
    return ini.serialize();
}

PreferencesWriteResult savePreferences(const fs::path& file, const Preferences& prefs, std::string_view dateTime)
{
    const PreferencesWriteResult failed{false, std::string(PreferencesWriteError)};
    std::string previous;
    // What could not be read cannot be kept: better refuse than overwrite it.
    if (readWholeFile(file, previous) == ReadStatus::Unreadable)
        return failed;
    std::error_code ec;
    if (file.has_parent_path())
        fs::create_directories(file.parent_path(), ec);
    if (ec)
        return failed;
    if (!writeFileReplacing(file, renderPreferences(previous, prefs, dateTime)))
        return failed;
    return {};
}

std::string localDateTimeText()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    std::ostringstream out;
    try {
        out.imbue(std::locale(""));
    } catch (const std::runtime_error&) {
        out.imbue(std::locale::classic());
    }
    out << std::put_time(&local, "%c");
    return out.str();
}

bool isDirectoryWritable(const fs::path& directory)
{
    std::error_code ec;
    return fs::is_directory(directory, ec) && ::access(directory.c_str(), W_OK | X_OK) == 0;
}

std::optional<std::string> processEnvironment(const char* name)
{
    if (const char* value = std::getenv(name))
        return std::string(value);
    return std::nullopt;
}

fs::path choosePreferencesPath(const fs::path& programDirectory, const WritableCheck& isWritable,
                               const EnvironmentLookup& environment)
{
    const fs::path beside = programDirectory / PreferencesFileName;
    if (isWritable(programDirectory))
        return beside;
    fs::path base;
    const auto xdg = environment("XDG_CONFIG_HOME");
    if (xdg && !xdg->empty() && fs::path(*xdg).is_absolute()) {
        base = *xdg;
    } else {
        const auto home = environment("HOME");
        if (!home || home->empty() || !fs::path(*home).is_absolute())
            return beside;
        base = fs::path(*home) / ".config";
    }
    return base / ProductName / PreferencesFileName;
}

fs::path preferencesPath(const fs::path& programDirectory)
{
    return choosePreferencesPath(programDirectory, isDirectoryWritable, processEnvironment);
}

}  // namespace storage
