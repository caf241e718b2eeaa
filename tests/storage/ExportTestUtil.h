#pragma once

// Helpers of the image export tests: test images, a recording progress observer, running the
// third-party decoders (netpbm, libtiff-tools, libjpeg-turbo-progs, ImageMagick) and reading the
// PPM they produce.

#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "engine/Catalogue.h"
#include "engine/ComputeObserver.h"
#include "document/Fractal.h"

namespace export_test {

struct CommandResult {
    int status = -1;  // exit status, or -1 when the command did not run or was killed
    std::string out;
};

// Runs `command` with /bin/sh; stdout is captured, stderr goes to stdout when `mergeErrors`.
inline CommandResult run(const std::string& command, bool mergeErrors = false)
{
    CommandResult r;
    const std::string full = command + (mergeErrors ? " 2>&1" : " 2>/dev/null");
    FILE* pipe = ::popen(full.c_str(), "r");
    if (!pipe)
        return r;
    char buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0)
        r.out.append(buffer, n);
    const int raw = ::pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
}

inline bool toolExists(const std::string& path)
{
    return ::access(path.c_str(), X_OK) == 0;
}

inline std::string quoted(const std::string& s)
{
    std::string q = "'";
    for (char c : s)
        q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

// A binary PPM (P6, maxval 255) as decoded by a third-party tool; pixels are red, green, blue.
struct Ppm {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    bool valid() const { return width > 0 && height > 0 && rgb.size() == size_t(width) * size_t(height) * 3; }
};

inline Ppm parsePpm(const std::string& data)
{
    Ppm p;
    size_t pos = 0;
    auto skipSpace = [&] {
        while (pos < data.size()) {
            if (data[pos] == '#') {
                while (pos < data.size() && data[pos] != '\n')
                    ++pos;
            } else if (std::isspace(static_cast<unsigned char>(data[pos]))) {
                ++pos;
            } else {
                break;
            }
        }
    };
    auto number = [&] {
        skipSpace();
        int v = 0;
        while (pos < data.size() && std::isdigit(static_cast<unsigned char>(data[pos])))
            v = v * 10 + (data[pos++] - '0');
        return v;
    };
    if (data.size() < 2 || data[0] != 'P' || data[1] != '6')
        return p;
    pos = 2;
    const int w = number(), h = number(), maxval = number();
    ++pos;  // the single white space after maxval
    if (maxval != 255 || pos + size_t(w) * size_t(h) * 3 > data.size())
        return p;
    p.width = w;
    p.height = h;
    p.rgb.assign(data.begin() + long(pos), data.begin() + long(pos + size_t(w) * size_t(h) * 3));
    return p;
}

// Decodes `file` with `decoder` (a shell command taking the file name last), always to PPM.
inline Ppm decode(const std::string& decoder, const std::string& file)
{
    return parsePpm(run(decoder + " " + quoted(file) + " | /usr/bin/ppmtoppm").out);
}

// Pillow (Debian's python3-pil) as a second decoder. The package's module folder stands for it in
// VOREX_NEED_TOOLS (a folder passes the same executable check as a program).
inline const char PillowModule[] = "/usr/lib/python3/dist-packages/PIL";

// What Pillow reads from an image file: its mode ("P", "RGB", ...), the resolution it reports in
// info["dpi"] (0 when the file has none) and the pixels converted to RGB.
struct PillowImage {
    std::string mode;
    double dpiX = 0, dpiY = 0;
    Ppm pixels;
};

inline PillowImage decodeWithPillow(const std::string& file)
{
    // The script writes a PPM whose comment line carries the mode and the resolution.
    static const char script[] =
        "import sys\n"
        "from PIL import Image\n"
        "im = Image.open(sys.argv[1])\n"
        "im.load()\n"
        "rgb = im.convert(\"RGB\")\n"
        "dpi = im.info.get(\"dpi\", (0, 0))\n"
        "head = \"P6\\n# mode=%s dpi=%.6f %.6f\\n%d %d\\n255\\n\" % (im.mode, dpi[0], dpi[1], rgb.width, rgb.height)\n"
        "sys.stdout.buffer.write(head.encode() + rgb.tobytes())\n";
    const CommandResult r = run("/usr/bin/python3 -c " + quoted(script) + " " + quoted(file));
    PillowImage image;
    if (r.status != 0)
        return image;
    image.pixels = parsePpm(r.out);
    const size_t at = r.out.find("# mode=");
    if (at == std::string::npos)
        return image;
    const size_t end = r.out.find('\n', at);
    char mode[16] = {};
    std::sscanf(r.out.substr(at, end - at).c_str(), "# mode=%15s dpi=%lf %lf", mode, &image.dpiX, &image.dpiY);
    image.mode = mode;
    return image;
}

// Records every progress fraction reported.
class RecordingObserver : public engine::ComputeObserver {
public:
    void progressChanged(double fraction) override { fractions.push_back(fraction); }
    std::vector<double> fractions;
};

// Deterministic pseudo-random bytes (a 32-bit linear congruential generator, Numerical Recipes constants).
class Lcg {
public:
    explicit Lcg(uint32_t seed) : m_state(seed) {}
    uint8_t next()
    {
        m_state = m_state * 1664525u + 1013904223u;
        return uint8_t(m_state >> 24);
    }

private:
    uint32_t m_state;
};

// Sets the display bitmap of `f` to `width` x `height` in `pixelFormat`, pixels from `pixel(x, y, channel)`
// (channel 0 for 8-bit images; 0 blue, 1 green, 2 red for 24-bit images).
template <typename PixelFn>
void fillBitmap(document::TFractal& f, uint8_t pixelFormat, int width, int height, PixelFn pixel)
{
    f.PixelFormat = pixelFormat;
    f.Bitmap.Width = width;
    f.Bitmap.Height = height;
    f.Bitmap.PixelFormat = pixelFormat;
    f.Bitmap.Pixels.assign(f.Bitmap.stride() * size_t(height), 0);
    const int channels = f.Bitmap.bytesPerPixel();
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c)
                f.Bitmap.row(y)[x * channels + c] = pixel(x, y, c);
    f.Params.Width = f.ImageParams.Width = width;
    f.Params.Height = f.ImageParams.Height = height;
}

// The red, green, blue of pixel (x, y) of `f`'s bitmap as a viewer shows it.
inline std::array<uint8_t, 3> shownColour(const document::TFractal& f, int x, int y)
{
    const uint8_t* row = f.Bitmap.row(y);
    if (f.Bitmap.PixelFormat == engine::PixelFormat24)
        return {row[x * 3 + 2], row[x * 3 + 1], row[x * 3]};
    const colour::PaletteEntry& e = f.Palette.entries[row[x]];
    return {e.red, e.green, e.blue};
}

// Counts the pixels whose decoded colour differs from the shown colour; the first few are described in `detail`.
inline int countDifferences(const document::TFractal& f, const Ppm& decoded, std::string* detail = nullptr)
{
    if (decoded.width != f.Bitmap.Width || decoded.height != f.Bitmap.Height)
        return -1;
    int differences = 0;
    for (int y = 0; y < decoded.height; ++y)
        for (int x = 0; x < decoded.width; ++x) {
            const auto want = shownColour(f, x, y);
            const uint8_t* got = &decoded.rgb[(size_t(y) * size_t(decoded.width) + size_t(x)) * 3];
            if (got[0] != want[0] || got[1] != want[1] || got[2] != want[2]) {
                if (detail && differences < 5)
                    *detail += "(" + std::to_string(x) + "," + std::to_string(y) + ") ";
                ++differences;
            }
        }
    return differences;
}

inline uint16_t u16le(const std::vector<uint8_t>& b, size_t at)
{
    return uint16_t(b.at(at) | (b.at(at + 1) << 8));
}
inline uint32_t u32le(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b.at(at)) | (uint32_t(b.at(at + 1)) << 8) | (uint32_t(b.at(at + 2)) << 16)
           | (uint32_t(b.at(at + 3)) << 24);
}

}  // namespace export_test
