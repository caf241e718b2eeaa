#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

#include "colour/ColorTable24.h"
#include "colour/Palette.h"
#include "document/Fractal.h"
#include "storage/Workspace.h"

// The 4328-byte header record of a fractal document (".mbt"): every parameter of the document, its
// 8-bit palette and 24-bit colour state, the 3D view parameters, the markers and the comment.
// Little-endian; reals are 80-bit extended (storage/Extended.h); strings are a length byte followed
// by Windows-1252 text (storage/Cp1252.h). The pixel values follow it (storage/DocumentData.h).
namespace storage {

class AtomicFile;

// Offsets of the fields within the record.
namespace hdr {
inline constexpr size_t Magic = 0x000, ProductName = 0x002, VersionTag = 0x00D, Identification = 0x018;
inline constexpr size_t FormatNumber = 0x02E, Reserved1 = 0x030, Reserved1Size = 99;
inline constexpr size_t Formula = 0x093, Width = 0x094, Height = 0x098, ResumeLine = 0x09C;
inline constexpr size_t MaxIter = 0x0A4, BaseMaxIter = 0x0A6, FractalType = 0x0A8, Algorithm = 0x0A9;
inline constexpr size_t CentreX = 0x0AA, CentreY = 0x0B4, Step = 0x0BE, LeftX = 0x0C8, TopY = 0x0D2;
inline constexpr size_t ParamCr = 0x0DC, ParamCi = 0x0E6, PertZr = 0x0F0, PertZi = 0x0FA;
inline constexpr size_t PixelFormat = 0x118, BoundaryType = 0x119, Multiplier = 0x11C, Palette = 0x120;
inline constexpr size_t BiomorphIndex = 0x524, SaveDate = 0x528, ColorTable24 = 0x530;
inline constexpr size_t Reserved2 = 0xA10, UserName = 0xA1B, EscapeLevelSq = 0xA30, Delta = 0xA34;
inline constexpr size_t UniformIter = 0xA38, Azimuth = 0xA3C, Elevation = 0xA40, ZScale = 0xA44;
inline constexpr size_t ZLimit = 0xA48, FocalLength = 0xA4C, VerticalShift = 0xA50;
inline constexpr size_t Inverted3D = 0xA54, Perspective = 0xA55;
inline constexpr size_t TableMode = 0xA80, ValueFunction = 0xA81, HueOffset = 0xA84, ValueMult = 0xA88;
inline constexpr size_t HueFunction = 0xA8C, HueMult = 0xA90, Bailout = 0xA94, FunctionIndex = 0xA95;
inline constexpr size_t NewtonP = 0xA98;
inline constexpr size_t MarkerBase = 0xA3C, MarkerSize = 96;  // slot n (1..15) at MarkerBase + 96 n
inline constexpr size_t MarkerShape = 0, MarkerX = 4, MarkerY = 8, MarkerLabel = 12;
inline constexpr size_t Comment = 0x103C, Reserved3 = 0x10D3, Reserved3Size = 21;
inline constexpr size_t Total = 4328;
// Capacities of the String[n] fields, in characters (= bytes of Windows-1252).
inline constexpr size_t ShortText = 10, UserNameText = 20, IdentificationText = 20;
inline constexpr size_t MarkerLabelText = 80, CommentText = 150;
inline constexpr uint8_t EmptyMarker = 0xFF;
}  // namespace hdr

inline constexpr uint16_t DocumentMagicNumber = 55555;  // 0xD903
inline constexpr const char* DocumentProductName = "Vorex";
inline constexpr const char* DocumentVersionTag = "--V1.8--";
inline constexpr const char* DocumentIdentification = "Vorex fractal file";
inline constexpr uint16_t DocumentFormatNumber = 1;

// The record in memory; zero-filled when made.
struct TDataFileHeader {
    std::array<uint8_t, hdr::Total> bytes{};
    uint16_t magic() const { return uint16_t(bytes[0] | (bytes[1] << 8)); }
};

// What a save stamps into the header besides the document.
struct HeaderStamp {
    double savedAt = 0;    // days since 1899-12-30, local time (storage::currentFileDate)
    std::string userName;  // UTF-8; cut to 20 characters when written
};

// The record for the document as it is now: the edited parameters (Params), the colour state, the
// 3D parameters, the markers (labels cut to 80 characters) and the comment (cut to 150).
TDataFileHeader BuildHeader(const document::TFractal& f, const HeaderStamp& stamp);
// Writes BuildHeader's 4328 bytes. False when the write failed.
bool WriteHeader(AtomicFile& out, const document::TFractal& f, const HeaderStamp& stamp);

enum class HeaderOutcome : uint8_t {
    Ok,
    ErrorReadingFile,  // short or unreadable record, wrong magic, or a field out of range
    NotEnoughMemory,   // the image would not fit in 0.86 of the available memory
};

// Checks the record and, when it is acceptable, copies it into the document by the reading rules:
// MaxIter also to RetoucheIter; BaseMaxIter 0 means MaxIter; Formula above 4 means 0; Bailout and
// FunctionIndex 0xFF mean 0; NewtonP -1 means 3; a marker is in use when its shape byte is not 0xFF,
// its shape byte kept as it is (a byte above 4 draws as Simple) and no label when unused; a comment length of 0xFF means empty;
// every string length is clamped to its field. The reals are rounded to doubles.
// Refused, changing nothing: a wrong magic; Width or Height outside 1..20000; a FractalType that is a
// separator or above 17; an Algorithm above 5; a PixelFormat other than 3 or 6 (these would index
// tables out of range or size the image absurdly). Then the memory estimate: Width x Height x 3
// (8-bit) or 5 (24-bit) bytes, or 2 for ImageParts::ValuesOnly (the values alone, see AllocImage),
// against 0.86 x availableMemory; too much changes nothing either.
// The parameters go to Params; ImageParams is the caller's to commit. The save date, the user name,
// the identification strings and the reserved fields are not used.
HeaderOutcome ApplyHeader(const TDataFileHeader& header, document::TFractal& f, uint64_t availableMemory,
                          ImageParts parts = ImageParts::ValuesAndBitmap);

// Shrinks the image to 1 x 1 8-bit (so that the old workspace is given back before the new one is
// made), reads the record from the current position of `in` and applies it (ApplyHeader).
HeaderOutcome ReadHeader(std::FILE* in, document::TFractal& f, uint64_t availableMemory,
                         ImageParts parts = ImageParts::ValuesAndBitmap);

// Reads the first 4328 bytes of a file. False when the file cannot be read or is shorter; `out` then
// holds what could be read, zero-filled.
bool ReadHeaderRecord(const std::string& path, TDataFileHeader& out);

// Pieces of another document's header. Each returns true only when the record could be read and its
// magic is 55555; the values are filled from whatever was read even when the magic is wrong.
struct HeaderPosition {
    double CentreX = 0, CentreY = 0;
    uint8_t FractalType = 0;
    double ParamCr = 0, ParamCi = 0;
};
bool ReadHeaderPosition(const TDataFileHeader& header, HeaderPosition& out);
bool ReadHeaderPosition(const std::string& path, HeaderPosition& out);
bool ReadHeaderPalette(const TDataFileHeader& header, colour::Palette& out);
bool ReadHeaderPalette(const std::string& path, colour::Palette& out);
bool ReadHeaderTable24(const TDataFileHeader& header, colour::ColorTable24& out);
bool ReadHeaderTable24(const std::string& path, colour::ColorTable24& out);

}  // namespace storage
