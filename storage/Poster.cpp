#include "storage/Poster.h"

#include <tiffio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <random>
#include <sstream>

#include "engine/ComputeObserver.h"
#include "storage/Document.h"
#include "storage/DocumentHeader.h"
#include "storage/ImageSink.h"
#include "storage/PngWriter.h"
#include "storage/RowSource.h"
#include "storage/Workspace.h"

namespace storage {
namespace {

std::string formatReal(double v)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

std::string jsonString(const std::string& s)
{
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// The text after "key": in a flat JSON object (the plan file has no nested keys of the same names).
bool findValue(const std::string& text, const std::string& key, size_t& pos)
{
    const std::string quoted = "\"" + key + "\"";
    size_t at = text.find(quoted);
    if (at == std::string::npos)
        return false;
    at = text.find_first_not_of(" \t\r\n", at + quoted.size());
    if (at == std::string::npos || text[at] != ':')
        return false;
    at = text.find_first_not_of(" \t\r\n", at + 1);
    if (at == std::string::npos)
        return false;
    pos = at;
    return true;
}

bool readNumber(const std::string& text, const std::string& key, double& out)
{
    size_t pos;
    if (!findValue(text, key, pos))
        return false;
    const char* start = text.c_str() + pos;
    char* end = nullptr;
    errno = 0;
    out = std::strtod(start, &end);
    return end != start && errno == 0 && std::isfinite(out);
}

bool readInt(const std::string& text, const std::string& key, int& out, int min, int max)
{
    double v;
    if (!readNumber(text, key, v) || v != std::floor(v) || v < min || v > max)
        return false;
    out = int(v);
    return true;
}

bool readString(const std::string& text, const std::string& key, std::string& out)
{
    size_t pos;
    if (!findValue(text, key, pos) || text[pos] != '"')
        return false;
    out.clear();
    for (size_t i = pos + 1; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"')
            return true;
        if (c == '\\') {
            if (++i >= text.size())
                return false;
            if (text[i] == 'u') {
                if (i + 4 >= text.size())
                    return false;
                out += char(std::stoi(text.substr(i + 1, 4), nullptr, 16));
                i += 4;
            } else {
                out += text[i];
            }
        } else {
            out += c;
        }
    }
    return false;
}

std::string joinPath(const std::string& dir, const std::string& name)
{
    if (dir.empty() || dir.back() == '/')
        return dir + name;
    return dir + "/" + name;
}

}  // namespace

PosterPlan::Cell PosterPlan::cell(int row, int col) const
{
    Cell c;
    c.row = row;
    c.col = col;
    c.row0 = row * tileHeight;
    c.col0 = col * tileWidth;
    c.width = std::min(tileWidth, width - c.col0);
    c.height = std::min(tileHeight, height - c.row0);
    return c;
}

std::string PosterPlan::tileName(int row, int col) const
{
    return "tile-" + std::to_string(row) + "-" + std::to_string(col) + ".mbt";
}

std::string PosterPlan::tileComment(int row, int col) const
{
    return "poster " + id + " tile " + std::to_string(row) + "," + std::to_string(col);
}

void layOutGrid(PosterPlan& plan)
{
    plan.cols = (plan.width + plan.tileWidth - 1) / plan.tileWidth;
    plan.rows = (plan.height + plan.tileHeight - 1) / plan.tileHeight;
}

std::string posterPlanToJson(const PosterPlan& p)
{
    std::ostringstream o;
    o << "{\n"
      << "  \"format\": \"vorex-poster\",\n"
      << "  \"version\": 1,\n"
      << "  \"id\": " << jsonString(p.id) << ",\n"
      << "  \"width\": " << p.width << ",\n"
      << "  \"height\": " << p.height << ",\n"
      << "  \"tileWidth\": " << p.tileWidth << ",\n"
      << "  \"tileHeight\": " << p.tileHeight << ",\n"
      << "  \"rows\": " << p.rows << ",\n"
      << "  \"cols\": " << p.cols << ",\n"
      << "  \"step\": " << formatReal(p.step) << ",\n"
      << "  \"leftX\": " << formatReal(p.leftX) << ",\n"
      << "  \"topY\": " << formatReal(p.topY) << ",\n"
      << "  \"centreX\": " << formatReal(p.centreX) << ",\n"
      << "  \"centreY\": " << formatReal(p.centreY) << ",\n"
      << "  \"depth\": " << p.depth << ",\n"
      << "  \"resolution\": " << p.resolution << ",\n"
      << "  \"source\": " << jsonString(p.source) << ",\n"
      << "  \"tiles\": [";
    for (int r = 0; r < p.rows; ++r)
        for (int c = 0; c < p.cols; ++c) {
            const PosterPlan::Cell cell = p.cell(r, c);
            o << (r || c ? ",\n" : "\n") << "    {\"file\": " << jsonString(p.tileName(r, c)) << ", \"row\": " << r
              << ", \"col\": " << c << ", \"x\": " << cell.col0 << ", \"y\": " << cell.row0
              << ", \"w\": " << cell.width << ", \"h\": " << cell.height << "}";
        }
    o << "\n  ]\n}\n";
    return o.str();
}

bool posterPlanFromJson(const std::string& text, PosterPlan& p, std::string& message)
{
    std::string format;
    if (!readString(text, "format", format) || format != "vorex-poster") {
        message = "not a poster plan";
        return false;
    }
    double resolution = 0;
    const bool ok = readString(text, "id", p.id) && !p.id.empty()
                    && readInt(text, "width", p.width, 1, PosterMaxSide)
                    && readInt(text, "height", p.height, 1, PosterMaxSide)
                    && readInt(text, "tileWidth", p.tileWidth, 1, MaxImageSide)
                    && readInt(text, "tileHeight", p.tileHeight, 1, MaxImageSide)
                    && readInt(text, "rows", p.rows, 1, PosterMaxSide) && readInt(text, "cols", p.cols, 1, PosterMaxSide)
                    && readNumber(text, "step", p.step) && p.step > 0 && readNumber(text, "leftX", p.leftX)
                    && readNumber(text, "topY", p.topY) && readNumber(text, "centreX", p.centreX)
                    && readNumber(text, "centreY", p.centreY) && readInt(text, "depth", p.depth, 8, 24)
                    && (p.depth == 8 || p.depth == 24) && readNumber(text, "resolution", resolution)
                    && resolution >= 1 && resolution <= 100000 && readString(text, "source", p.source);
    if (!ok) {
        message = "a field of the plan is missing or out of range";
        return false;
    }
    p.resolution = uint32_t(resolution);
    PosterPlan check = p;
    layOutGrid(check);
    if (check.rows != p.rows || check.cols != p.cols) {
        message = "the grid does not match the sizes";
        return false;
    }
    return true;
}

bool readPosterPlan(const std::string& dir, PosterPlan& out, std::string& message)
{
    const std::string path = joinPath(dir, PosterPlanFile);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        message = path + ": cannot be read (not a poster plan directory?)";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    if (!posterPlanFromJson(text.str(), out, message)) {
        message = path + ": " + message;
        return false;
    }
    return true;
}

std::string newPosterId()
{
    std::random_device rd;
    std::mt19937_64 gen((uint64_t(rd()) << 32) ^ rd());
    char buf[20];
    std::snprintf(buf, sizeof buf, "%016llx", static_cast<unsigned long long>(gen()));
    return buf;
}

bool makePosterTile(document::TFractal& f, const PosterPlan& plan, const PosterPlan::Cell& cell, std::string& message)
{
    const uint8_t format = plan.depth == 24 ? engine::PixelFormat24 : engine::PixelFormat8;
    const AllocResult alloc = AllocImage(f, cell.width, cell.height, format, /*clear=*/false, ImageParts::ValuesOnly);
    if (!alloc.ok) {
        message = alloc.message;
        return false;
    }
    ClearImage(f, /*clearValues=*/true);
    f.Params.Step = plan.step;
    // The corner by whole pixels from the poster's; the centre follows from it.
    f.LeftX = plan.tileLeftX(cell);
    f.TopY = plan.tileTopY(cell);
    f.Params.CentreX = f.LeftX + double(cell.width) / 2 * plan.step;
    f.Params.CentreY = f.TopY - double(cell.height) / 2 * plan.step;
    f.CommitImageParams();
    f.ResumeLine = cell.height;
    f.UniformIter = false;
    f.Comment = plan.tileComment(cell.row, cell.col);
    return true;
}

const char* tileStateName(TileState state)
{
    switch (state) {
    case TileState::Missing: return "missing";
    case TileState::Unreadable: return "unreadable";
    case TileState::Foreign: return "foreign (not of this plan)";
    case TileState::Uncomputed: return "not computed";
    case TileState::Partial: return "partly computed";
    case TileState::Complete: return "complete";
    }
    return "?";
}

TileStatus posterTileStatus(const PosterPlan& plan, const std::string& dir, int row, int col)
{
    TileStatus s;
    s.row = row;
    s.col = col;
    s.path = joinPath(dir, plan.tileName(row, col));
    if (access(s.path.c_str(), F_OK) != 0) {
        s.state = TileState::Missing;
        return s;
    }
    TDataFileHeader header;
    auto f = std::make_unique<document::TFractal>();
    if (!ReadHeaderRecord(s.path, header)
        || ApplyHeader(header, *f, std::numeric_limits<uint64_t>::max(), ImageParts::ValuesOnly) != HeaderOutcome::Ok) {
        s.state = TileState::Unreadable;
        return s;
    }
    const PosterPlan::Cell cell = plan.cell(row, col);
    const uint8_t format = plan.depth == 24 ? engine::PixelFormat24 : engine::PixelFormat8;
    if (f->Comment != plan.tileComment(row, col) || f->Params.Width != cell.width || f->Params.Height != cell.height
        || f->PixelFormat != format || f->Params.Step != plan.step || f->LeftX != plan.tileLeftX(cell)
        || f->TopY != plan.tileTopY(cell)) {
        s.state = TileState::Foreign;
        return s;
    }
    s.resumeLine = f->ResumeLine;
    if (f->ResumeLine == 0)
        s.state = TileState::Complete;
    else if (f->ResumeLine > 0 && f->ResumeLine < cell.height)
        s.state = TileState::Partial;
    else
        s.state = TileState::Uncomputed;
    return s;
}

std::vector<TileStatus> posterStatus(const PosterPlan& plan, const std::string& dir)
{
    std::vector<TileStatus> out;
    for (int r = 0; r < plan.rows; ++r)
        for (int c = 0; c < plan.cols; ++c)
            out.push_back(posterTileStatus(plan, dir, r, c));
    return out;
}

std::optional<PosterFormat> posterFormatFromPath(const std::string& path)
{
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return std::nullopt;
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    if (ext == "tif" || ext == "tiff")
        return PosterFormat::Tiff;
    if (ext == "png")
        return PosterFormat::Png;
    return std::nullopt;
}

namespace {

// Where the assembled rows go: one of the two formats, behind a temporary file.
class PosterOutput {
public:
    virtual ~PosterOutput() = default;
    // `count` rows of coloured pixels (palette indexes, or blue, green, red), `stride` bytes apart.
    virtual bool write(const uint8_t* rows, int count, size_t stride) = 0;
    virtual bool finish() = 0;  // completes the file and renames it over the target
};

class PngOutput final : public PosterOutput {
public:
    PngOutput(const std::string& path, const ImageInfo& info) : m_sink(path)
    {
        m_ok = m_sink.ok() && m_writer.begin(info, m_sink);
    }
    bool ok() const { return m_ok; }
    bool write(const uint8_t* rows, int count, size_t stride) override
    {
        m_ok = m_ok && m_writer.writeRows(0, m_row, count, rows, stride);
        m_row += count;
        return m_ok;
    }
    bool finish() override { return m_ok && m_writer.finish() && m_sink.commit(); }

private:
    FileSink m_sink;  // the temporary file, removed unless committed
    PngImageWriter m_writer;
    int m_row = 0;
    bool m_ok = false;
};

// libtiff's messages go to standard error with a prefix; a failure is then reported by the caller.
extern "C" void tiffMessage(const char* module, const char* fmt, va_list ap)
{
    std::fprintf(stderr, "libtiff: %s: ", module ? module : "");
    std::vfprintf(stderr, fmt, ap);
    std::fputc('\n', stderr);
}

class TiffOutput final : public PosterOutput {
public:
    static constexpr int RowsPerStrip = 16;

    TiffOutput(const std::string& path, const ImageInfo& info, bool bigTiff) : m_target(path), m_info(info)
    {
        const size_t slash = path.find_last_of('/');
        const std::string dir = slash == std::string::npos ? "." : path.substr(0, slash);
        const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
        std::string temp = dir + "/." + base + ".partial-XXXXXX";
        const int fd = mkstemp(temp.data());
        if (fd < 0)
            return;
        close(fd);
        m_temp = temp;
        TIFFSetErrorHandler(tiffMessage);
        TIFFSetWarningHandler(nullptr);
        m_tiff = TIFFOpen(m_temp.c_str(), bigTiff ? "w8" : "w");
        if (!m_tiff)
            return;
        const bool rgb = info.pixelFormat == engine::PixelFormat24;
        bool ok = TIFFSetField(m_tiff, TIFFTAG_IMAGEWIDTH, uint32_t(info.width))
                  && TIFFSetField(m_tiff, TIFFTAG_IMAGELENGTH, uint32_t(info.height))
                  && TIFFSetField(m_tiff, TIFFTAG_BITSPERSAMPLE, 8)
                  && TIFFSetField(m_tiff, TIFFTAG_SAMPLESPERPIXEL, rgb ? 3 : 1)
                  && TIFFSetField(m_tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG)
                  && TIFFSetField(m_tiff, TIFFTAG_PHOTOMETRIC, rgb ? PHOTOMETRIC_RGB : PHOTOMETRIC_PALETTE)
                  && TIFFSetField(m_tiff, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE)
                  && TIFFSetField(m_tiff, TIFFTAG_ROWSPERSTRIP, uint32_t(RowsPerStrip))
                  && TIFFSetField(m_tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH)
                  && TIFFSetField(m_tiff, TIFFTAG_XRESOLUTION, double(info.resolution))
                  && TIFFSetField(m_tiff, TIFFTAG_YRESOLUTION, double(info.resolution));
        if (ok && !rgb) {
            std::vector<uint16_t> r(256), g(256), b(256);
            for (int i = 0; i < 256; ++i) {
                r[size_t(i)] = uint16_t(info.palette.entries[size_t(i)].red * 257);
                g[size_t(i)] = uint16_t(info.palette.entries[size_t(i)].green * 257);
                b[size_t(i)] = uint16_t(info.palette.entries[size_t(i)].blue * 257);
            }
            ok = TIFFSetField(m_tiff, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
        }
        m_ok = ok;
        m_rowBytes = size_t(info.width) * (rgb ? 3 : 1);
        m_strip.resize(m_rowBytes * RowsPerStrip);
    }
    ~TiffOutput() override
    {
        if (m_tiff)
            TIFFClose(m_tiff);
        if (!m_temp.empty())
            unlink(m_temp.c_str());
    }
    bool ok() const { return m_ok; }

    // Rows gather into a strip; a full strip (or the last one) is compressed and written.
    bool write(const uint8_t* rows, int count, size_t stride) override
    {
        const bool rgb = m_info.pixelFormat == engine::PixelFormat24;
        for (int i = 0; i < count && m_ok; ++i) {
            const uint8_t* src = rows + size_t(i) * stride;
            uint8_t* dst = m_strip.data() + size_t(m_inStrip) * m_rowBytes;
            if (rgb) {
                for (size_t x = 0; x < size_t(m_info.width); ++x) {
                    dst[3 * x] = src[3 * x + 2];
                    dst[3 * x + 1] = src[3 * x + 1];
                    dst[3 * x + 2] = src[3 * x];
                }
            } else {
                std::memcpy(dst, src, m_rowBytes);
            }
            ++m_inStrip;
            ++m_row;
            if (m_inStrip == RowsPerStrip || m_row == m_info.height)
                m_ok = flushStrip();
        }
        return m_ok;
    }
    bool finish() override
    {
        if (!m_ok || m_row != m_info.height)
            return false;
        TIFF* t = m_tiff;
        m_tiff = nullptr;
        if (!TIFFFlush(t)) {
            TIFFClose(t);
            return false;
        }
        TIFFClose(t);
        if (std::rename(m_temp.c_str(), m_target.c_str()) != 0)
            return false;
        m_temp.clear();
        return true;
    }

private:
    bool flushStrip()
    {
        const tsize_t bytes = tsize_t(size_t(m_inStrip) * m_rowBytes);
        const bool ok = TIFFWriteEncodedStrip(m_tiff, m_stripIndex, m_strip.data(), bytes) == bytes;
        ++m_stripIndex;
        m_inStrip = 0;
        return ok;
    }

    std::string m_target, m_temp;
    ImageInfo m_info;
    TIFF* m_tiff = nullptr;
    bool m_ok = false;
    size_t m_rowBytes = 0;
    std::vector<uint8_t> m_strip;
    int m_inStrip = 0, m_row = 0;
    uint32_t m_stripIndex = 0;
};

}  // namespace

AssembleResult assemblePoster(const PosterPlan& plan, const std::string& dir, const std::string& output,
                              PosterFormat format, uint32_t resolution, bool forceBigTiff,
                              engine::ComputeObserver* observer)
{
    AssembleResult result;
    const bool rgb = plan.depth == 24;
    const size_t bpp = rgb ? 3 : 1;
    const size_t rowBytes = size_t(plan.width) * bpp;
    const uint64_t pictureBytes = uint64_t(rowBytes) * uint64_t(plan.height);
    result.bigTiff = format == PosterFormat::Tiff && (forceBigTiff || pictureBytes > ClassicTiffLimit);

    std::unique_ptr<PosterOutput> out;
    constexpr int BandRows = TiffOutput::RowsPerStrip;
    std::vector<uint8_t> band(rowBytes * BandRows);
    std::vector<uint8_t> piece;
    int rowsDone = 0;

    for (int r = 0; r < plan.rows; ++r) {
        // One row of tiles: their values only, coloured band by band as they are written.
        std::vector<std::unique_ptr<document::TFractal>> tiles;
        std::vector<std::unique_ptr<ValueRowSource>> sources;
        for (int c = 0; c < plan.cols; ++c) {
            auto f = std::make_unique<document::TFractal>();
            const std::string path = joinPath(dir, plan.tileName(r, c));
            LoadOptions options;
            options.parts = ImageParts::ValuesOnly;
            if (LoadDocument(*f, path, nullptr, options) != LoadResult::Ok) {
                result.message = path + ": Error reading file";
                return result;
            }
            sources.push_back(std::make_unique<ValueRowSource>(*f));
            tiles.push_back(std::move(f));
        }
        if (!out) {
            ImageInfo info = sources.front()->info();
            info.width = plan.width;
            info.height = plan.height;
            info.resolution = resolution;
            if (format == PosterFormat::Png) {
                auto png = std::make_unique<PngOutput>(output, info);
                if (!png->ok()) {
                    result.message = output + ": Error writing file";
                    return result;
                }
                out = std::move(png);
            } else {
                auto tiff = std::make_unique<TiffOutput>(output, info, result.bigTiff);
                if (!tiff->ok()) {
                    result.message = output + ": Error writing file";
                    return result;
                }
                out = std::move(tiff);
            }
        }
        const PosterPlan::Cell first = plan.cell(r, 0);
        for (int y = 0; y < first.height; y += BandRows) {
            const int count = std::min(BandRows, first.height - y);
            for (int c = 0; c < plan.cols; ++c) {
                const PosterPlan::Cell cell = plan.cell(r, c);
                const size_t pieceRow = size_t(cell.width) * bpp;
                piece.resize(pieceRow * size_t(count));
                if (!sources[size_t(c)]->readRows(RowContent::Colours, y, count, piece.data(), pieceRow)) {
                    result.message = plan.tileName(r, c) + ": rows cannot be read";
                    return result;
                }
                for (int i = 0; i < count; ++i)
                    std::memcpy(band.data() + size_t(i) * rowBytes + size_t(cell.col0) * bpp,
                                piece.data() + size_t(i) * pieceRow, pieceRow);
            }
            if (!out->write(band.data(), count, rowBytes)) {
                result.message = output + ": Error writing file";
                return result;
            }
            rowsDone += count;
            if (observer)
                observer->progressChanged(double(rowsDone) / double(plan.height));
        }
    }
    if (!out || !out->finish()) {
        result.message = output + ": Error writing file";
        return result;
    }
    result.ok = true;
    return result;
}

}  // namespace storage
