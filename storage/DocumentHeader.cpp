#include "storage/DocumentHeader.h"

#include <algorithm>
#include <cstring>

#include "engine/Catalogue.h"
#include "storage/AtomicFile.h"
#include "storage/Cp1252.h"
#include "storage/Extended.h"
#include "storage/Workspace.h"

namespace storage {
namespace {

using Record = std::array<uint8_t, hdr::Total>;

void putU8(Record& b, size_t at, uint8_t v) { b[at] = v; }
void putU16(Record& b, size_t at, uint16_t v)
{
    b[at] = uint8_t(v);
    b[at + 1] = uint8_t(v >> 8);
}
void putI32(Record& b, size_t at, int32_t v)
{
    const uint32_t u = uint32_t(v);
    for (size_t i = 0; i < 4; ++i)
        b[at + i] = uint8_t(u >> (8 * i));
}
void putF64(Record& b, size_t at, double v)
{
    uint64_t u;
    std::memcpy(&u, &v, 8);
    for (size_t i = 0; i < 8; ++i)
        b[at + i] = uint8_t(u >> (8 * i));
}
void putExtended(Record& b, size_t at, double v) { writeExtended(b.data() + at, v); }

// String[n]: a length byte, then the text, then zeros up to n bytes. The text is UTF-8, stored as
// Windows-1252 and cut to n characters.
void putString(Record& b, size_t at, size_t n, const std::string& utf8)
{
    std::string text = utf8ToCp1252(utf8);
    if (text.size() > n)
        text.resize(n);
    b[at] = uint8_t(text.size());
    std::memcpy(b.data() + at + 1, text.data(), text.size());
}

uint8_t getU8(const Record& b, size_t at) { return b[at]; }
uint16_t getU16(const Record& b, size_t at) { return uint16_t(b[at] | (b[at + 1] << 8)); }
int32_t getI32(const Record& b, size_t at)
{
    uint32_t u = 0;
    for (size_t i = 0; i < 4; ++i)
        u |= uint32_t(b[at + i]) << (8 * i);
    return int32_t(u);
}
double getExtended(const Record& b, size_t at) { return extendedToDouble(b.data() + at); }

// A length byte larger than the field is taken as the field's size: the text never reaches into the
// next field.
std::string getString(const Record& b, size_t at, size_t n)
{
    const size_t length = std::min<size_t>(b[at], n);
    return cp1252ToUtf8(std::string_view(reinterpret_cast<const char*>(b.data() + at + 1), length));
}

size_t markerOffset(int slot) { return hdr::MarkerBase + hdr::MarkerSize * size_t(slot); }

}  // namespace

TDataFileHeader BuildHeader(const document::TFractal& f, const HeaderStamp& stamp)
{
    TDataFileHeader h;
    Record& b = h.bytes;
    const engine::FractalParams& p = f.Params;

    putU16(b, hdr::Magic, DocumentMagicNumber);
    putString(b, hdr::ProductName, hdr::ShortText, DocumentProductName);
    putString(b, hdr::VersionTag, hdr::ShortText, DocumentVersionTag);
    putString(b, hdr::Identification, hdr::IdentificationText, DocumentIdentification);
    putU16(b, hdr::FormatNumber, DocumentFormatNumber);
    std::fill_n(b.begin() + hdr::Reserved1, hdr::Reserved1Size, uint8_t(0xFF));

    putU8(b, hdr::Formula, p.Formula);
    putI32(b, hdr::Width, p.Width);
    putI32(b, hdr::Height, p.Height);
    putI32(b, hdr::ResumeLine, f.ResumeLine);
    putU16(b, hdr::MaxIter, p.MaxIter);
    putU16(b, hdr::BaseMaxIter, f.BaseMaxIter);
    putU8(b, hdr::FractalType, uint8_t(p.FractalType));
    putU8(b, hdr::Algorithm, p.Algorithm);
    putExtended(b, hdr::CentreX, p.CentreX);
    putExtended(b, hdr::CentreY, p.CentreY);
    putExtended(b, hdr::Step, p.Step);
    putExtended(b, hdr::LeftX, f.LeftX);
    putExtended(b, hdr::TopY, f.TopY);
    putExtended(b, hdr::ParamCr, p.ParamCr);
    putExtended(b, hdr::ParamCi, p.ParamCi);
    putExtended(b, hdr::PertZr, p.PertZr);
    putExtended(b, hdr::PertZi, p.PertZi);
    // 0x104 and 0x10E: two reserved extended zeros, which are all-zero bytes.

    putU8(b, hdr::PixelFormat, f.PixelFormat);
    putU8(b, hdr::BoundaryType, uint8_t(f.BoundaryType));
    putI32(b, hdr::Multiplier, f.Multiplier);
    const colour::PaletteBytes palette = colour::encodePalette(f.Palette);
    std::copy(palette.begin(), palette.end(), b.begin() + hdr::Palette);
    putI32(b, hdr::BiomorphIndex, f.BiomorphIndex);
    putF64(b, hdr::SaveDate, stamp.savedAt);
    const colour::ColorTable24Bytes table = colour::encodeColorTable24(f.ColorTable24);
    std::copy(table.begin(), table.end(), b.begin() + hdr::ColorTable24);
    putString(b, hdr::Reserved2, hdr::ShortText, std::string());
    putString(b, hdr::UserName, hdr::UserNameText, stamp.userName);

    putU16(b, hdr::EscapeLevelSq, p.EscapeLevelSq);
    putI32(b, hdr::Delta, p.Delta);
    putU8(b, hdr::UniformIter, f.UniformIter ? 1 : 0);
    putI32(b, hdr::Azimuth, f.Azimuth);
    putI32(b, hdr::Elevation, f.Elevation);
    putI32(b, hdr::ZScale, f.ZScale);
    putI32(b, hdr::ZLimit, f.ZLimit);
    putI32(b, hdr::FocalLength, f.FocalLength);
    putI32(b, hdr::VerticalShift, f.VerticalShift);
    putU8(b, hdr::Inverted3D, f.Inverted3D);
    putU8(b, hdr::Perspective, f.Perspective);
    putU8(b, hdr::TableMode, uint8_t(f.TableMode));
    putU8(b, hdr::ValueFunction, f.ValueFunction);
    putI32(b, hdr::HueOffset, f.HueOffset);
    putI32(b, hdr::ValueMult, f.ValueMult);
    putU8(b, hdr::HueFunction, f.HueFunction);
    putI32(b, hdr::HueMult, f.HueMult);
    putU8(b, hdr::Bailout, p.Bailout);
    putU8(b, hdr::FunctionIndex, p.FunctionIndex);
    putI32(b, hdr::NewtonP, p.NewtonP);

    for (int slot = 1; slot <= document::MarkerSlots; ++slot) {
        const document::Marker& m = f.Markers[size_t(slot - 1)];
        const size_t at = markerOffset(slot);
        putU8(b, at + hdr::MarkerShape, m.InUse ? uint8_t(m.Shape) : hdr::EmptyMarker);
        putI32(b, at + hdr::MarkerX, m.X);
        putI32(b, at + hdr::MarkerY, m.Y);
        putString(b, at + hdr::MarkerLabel, hdr::MarkerLabelText, m.Label);
    }
    putString(b, hdr::Comment, hdr::CommentText, f.Comment);
    std::fill_n(b.begin() + hdr::Reserved3, hdr::Reserved3Size, uint8_t(0xFF));
    return h;
}

bool WriteHeader(AtomicFile& out, const document::TFractal& f, const HeaderStamp& stamp)
{
    const TDataFileHeader h = BuildHeader(f, stamp);
    return out.write(h.bytes.data(), h.bytes.size());
}

HeaderOutcome ApplyHeader(const TDataFileHeader& header, document::TFractal& f, uint64_t availableMemory,
                          ImageParts parts)
{
    const Record& b = header.bytes;
    if (header.magic() != DocumentMagicNumber)
        return HeaderOutcome::ErrorReadingFile;

    const int32_t width = getI32(b, hdr::Width);
    const int32_t height = getI32(b, hdr::Height);
    const uint8_t type = getU8(b, hdr::FractalType);
    const uint8_t algorithm = getU8(b, hdr::Algorithm);
    const uint8_t pixelFormat = getU8(b, hdr::PixelFormat);
    if (width < 1 || height < 1 || width > MaxImageSide || height > MaxImageSide || !engine::isValidType(type)
        || algorithm >= engine::AlgorithmCount
        || (pixelFormat != engine::PixelFormat8 && pixelFormat != engine::PixelFormat24))
        return HeaderOutcome::ErrorReadingFile;
    if (NotEnoughMemoryFor(width, height, pixelFormat == engine::PixelFormat24, availableMemory, parts))
        return HeaderOutcome::NotEnoughMemory;

    engine::FractalParams& p = f.Params;
    const uint8_t formula = getU8(b, hdr::Formula);
    p.Formula = formula < engine::FormulaCount ? formula : uint8_t(engine::FormulaZ2);
    p.Width = width;
    p.Height = height;
    f.ResumeLine = getI32(b, hdr::ResumeLine);
    p.MaxIter = getU16(b, hdr::MaxIter);
    f.RetoucheIter = p.MaxIter;
    const uint16_t baseMaxIter = getU16(b, hdr::BaseMaxIter);
    f.BaseMaxIter = baseMaxIter != 0 ? baseMaxIter : p.MaxIter;
    p.FractalType = engine::TypeId(type);  // checked above: a real type
    p.Algorithm = algorithm;
    p.CentreX = getExtended(b, hdr::CentreX);
    p.CentreY = getExtended(b, hdr::CentreY);
    p.Step = getExtended(b, hdr::Step);
    f.LeftX = getExtended(b, hdr::LeftX);
    f.TopY = getExtended(b, hdr::TopY);
    p.ParamCr = getExtended(b, hdr::ParamCr);
    p.ParamCi = getExtended(b, hdr::ParamCi);
    p.PertZr = getExtended(b, hdr::PertZr);
    p.PertZi = getExtended(b, hdr::PertZi);

    f.PixelFormat = pixelFormat;
    f.BoundaryType = colour::BoundaryKind(getU8(b, hdr::BoundaryType));
    f.Multiplier = getI32(b, hdr::Multiplier);
    f.Palette = colour::decodePalette(b.data() + hdr::Palette);
    f.BiomorphIndex = getI32(b, hdr::BiomorphIndex);
    f.ColorTable24 = colour::decodeColorTable24(b.data() + hdr::ColorTable24);

    p.EscapeLevelSq = getU16(b, hdr::EscapeLevelSq);
    p.Delta = getI32(b, hdr::Delta);
    f.UniformIter = getU8(b, hdr::UniformIter) != 0;
    f.Azimuth = getI32(b, hdr::Azimuth);
    f.Elevation = getI32(b, hdr::Elevation);
    f.ZScale = getI32(b, hdr::ZScale);
    f.ZLimit = getI32(b, hdr::ZLimit);
    f.FocalLength = getI32(b, hdr::FocalLength);
    f.VerticalShift = getI32(b, hdr::VerticalShift);
    f.Inverted3D = getU8(b, hdr::Inverted3D);
    f.Perspective = getU8(b, hdr::Perspective);
    f.TableMode = colour::TableModeKind(getU8(b, hdr::TableMode));
    f.ValueFunction = getU8(b, hdr::ValueFunction);
    f.HueOffset = getI32(b, hdr::HueOffset);
    f.ValueMult = getI32(b, hdr::ValueMult);
    f.HueFunction = getU8(b, hdr::HueFunction);
    f.HueMult = getI32(b, hdr::HueMult);
    const uint8_t bailout = getU8(b, hdr::Bailout);
    p.Bailout = bailout == 0xFF ? 0 : bailout;
    const uint8_t function = getU8(b, hdr::FunctionIndex);
    p.FunctionIndex = function == 0xFF ? 0 : function;
    const int32_t newtonP = getI32(b, hdr::NewtonP);
    p.NewtonP = newtonP == -1 ? 3 : newtonP;

    for (int slot = 1; slot <= document::MarkerSlots; ++slot) {
        document::Marker& m = f.Markers[size_t(slot - 1)];
        const size_t at = markerOffset(slot);
        const uint8_t shape = getU8(b, at + hdr::MarkerShape);
        m.InUse = shape != hdr::EmptyMarker;
        // The byte is kept as it is, so that a document saves back unchanged; a code above Triangle
        // draws as Simple (document::drawnShape).
        m.Shape = m.InUse ? document::MarkerShape(shape) : document::MarkerShape::Simple;
        m.X = getI32(b, at + hdr::MarkerX);
        m.Y = getI32(b, at + hdr::MarkerY);
        m.Label = m.InUse ? getString(b, at + hdr::MarkerLabel, hdr::MarkerLabelText) : std::string();
    }
    f.Comment = getU8(b, hdr::Comment) == 0xFF ? std::string() : getString(b, hdr::Comment, hdr::CommentText);
    return HeaderOutcome::Ok;
}

HeaderOutcome ReadHeader(std::FILE* in, document::TFractal& f, uint64_t availableMemory, ImageParts parts)
{
    AllocImage(f, 1, 1, engine::PixelFormat8, false, parts);
    TDataFileHeader header;  // magic 0 until read
    if (!in || std::fread(header.bytes.data(), 1, header.bytes.size(), in) != header.bytes.size())
        return HeaderOutcome::ErrorReadingFile;
    return ApplyHeader(header, f, availableMemory, parts);
}

bool ReadHeaderRecord(const std::string& path, TDataFileHeader& out)
{
    out.bytes.fill(0);
    std::FILE* in = std::fopen(path.c_str(), "rbe");
    if (!in)
        return false;
    const size_t n = std::fread(out.bytes.data(), 1, out.bytes.size(), in);
    std::fclose(in);
    return n == out.bytes.size();
}

bool ReadHeaderPosition(const TDataFileHeader& header, HeaderPosition& out)
{
    const Record& b = header.bytes;
    out.CentreX = getExtended(b, hdr::CentreX);
    out.CentreY = getExtended(b, hdr::CentreY);
    out.FractalType = getU8(b, hdr::FractalType);
    out.ParamCr = getExtended(b, hdr::ParamCr);
    out.ParamCi = getExtended(b, hdr::ParamCi);
    return header.magic() == DocumentMagicNumber;
}

bool ReadHeaderPalette(const TDataFileHeader& header, colour::Palette& out)
{
    out = colour::decodePalette(header.bytes.data() + hdr::Palette);
    return header.magic() == DocumentMagicNumber;
}

bool ReadHeaderTable24(const TDataFileHeader& header, colour::ColorTable24& out)
{
    out = colour::decodeColorTable24(header.bytes.data() + hdr::ColorTable24);
    return header.magic() == DocumentMagicNumber;
}

bool ReadHeaderPosition(const std::string& path, HeaderPosition& out)
{
    TDataFileHeader header;
    const bool read = ReadHeaderRecord(path, header);
    return ReadHeaderPosition(header, out) && read;
}

bool ReadHeaderPalette(const std::string& path, colour::Palette& out)
{
    TDataFileHeader header;
    const bool read = ReadHeaderRecord(path, header);
    return ReadHeaderPalette(header, out) && read;
}

bool ReadHeaderTable24(const std::string& path, colour::ColorTable24& out)
{
    TDataFileHeader header;
    const bool read = ReadHeaderRecord(path, header);
    return ReadHeaderTable24(header, out) && read;
}

}  // namespace storage
