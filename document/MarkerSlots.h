#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "colour/Palette.h"
#include "colour/Picture.h"
#include "document/Markers.h"

namespace document {

// The block of pixels a marker saves before it is drawn: 42 rows of 41 colour values, of which a
// marker uses 41 x 41 centred on its pixel. A value is a palette index (8-bit images) or blue, green
// and red packed as 0x00RRGGBB (24-bit images).
inline constexpr int MarkerBlock = 41, MarkerBlockRows = 42, MarkerReach = 20;
using MarkerSaveArea = std::vector<std::array<uint32_t, MarkerBlock>>;

// How markers look (preferences): size in pixels (odd, 21..41) and colour as stored (0x00BBGGRR).
struct MarkerStyle {
    int Size = 29;
    uint32_t Colour = 26112;
};

// Plane position of pixel (x, y): X = x s + X0, Y = Y0 - y s.
struct PlaneMapping {
    double X0 = 0, Y0 = 0, Step = 1;
};

// One marker slot's drawing state; what a document stores (in use, shape, pixel, text) is the
// document's Marker of the same slot.
struct TMarker {
    int Number = 0;  // 1..15, fixed per slot
    MarkerSaveArea Saved2D, Saved3D;
    double PlaneX = 0, PlaneY = 0;
    int X3D = 0, Y3D = 0;
    int DrawnX = 0, DrawnY = 0;  // the pixel it was drawn at
    bool Drawn = false;  // the marker is on the 2D bitmap now and Saved2D holds what it covers
};

// The pen value of a marker colour in a bitmap: the colour itself packed as 0x00RRGGBB for 24-bit
// bitmaps, the nearest palette entry (first of equals, squared RGB distance) for 8-bit ones.
uint32_t markerPen(uint32_t colour, uint8_t pixelFormat, const colour::Palette& palette);

enum class MarkerAllocation : uint8_t { Ok, NoMemory2D, NoMemory3D };
inline constexpr const char* NoMemoryForMarkers2D = "No Memory for Markers 2D";
inline constexpr const char* NoMemoryForMarkers3D = "No Memory for Markers 3D";
// The message of a failed CreateMarkers; empty for Ok.
inline const char* allocationMessage(MarkerAllocation a)
{
    return a == MarkerAllocation::NoMemory2D ? NoMemoryForMarkers2D : a == MarkerAllocation::NoMemory3D ? NoMemoryForMarkers3D : "";
}

// The fifteen marker slots of the main window, drawn into the display bitmap of a document. The
// document's MarkerSet says which slots are used; this object keeps the saved pixels.
class TMarkerSlots {
public:
    // Creates the slots that do not exist yet, each with its two save areas. The first failure is
    // reported ("No Memory for Markers 2D" or "... 3D"); later slots are still tried.
    MarkerAllocation CreateMarkers();
    bool Available() const { return m_available; }

    const TMarker& slot(int number) const { return m_slots[size_t(number - 1)]; }

    // Takes the first unused slot in number order, copies at most 80 characters of the text and draws
    // the marker as new at (x, y). Returns its number, or nothing when all fifteen are used (the
    // caller shows "No Marker available."); nothing changes then.
    std::optional<int> Place(MarkerSet& set, colour::ImageBitmap& bitmap, const colour::Palette& palette,
                             const MarkerStyle& style, const PlaneMapping& mapping, int x, int y,
                             const std::string& text, MarkerShape shape);

    // The used marker whose square of the marker size covers (x, y); of several, the one drawn last.
    std::optional<int> Find(const MarkerSet& set, const MarkerStyle& style, int x, int y) const;

    // Writes the saved pixels of a drawn marker back (markers drawn over it after it are lifted and
    // drawn again); with `free` the slot becomes unused and its text empty.
    void Erase(MarkerSet& set, colour::ImageBitmap& bitmap, const colour::Palette& palette,
               const MarkerStyle& style, int number, bool free);

    // Erases every drawn marker, last drawn first, keeping the slots.
    void HideAll(colour::ImageBitmap& bitmap);
    // Erases and frees every used marker; true when there was one.
    bool DeleteAll(MarkerSet& set, colour::ImageBitmap& bitmap);
    // Draws every used marker again in number order (a marker already drawn is lifted first); with
    // `saveBackground` the pixels under each are read again, otherwise the saved block is kept.
    // Returns false when no marker exists (the caller shows "No Marker available.").
    bool ShowAll(const MarkerSet& set, colour::ImageBitmap& bitmap, const colour::Palette& palette,
                 const MarkerStyle& style, bool saveBackground);

    // Moves a marker (properties dialog): it is erased and freed, then placed again with `text` and
    // `shape` at (x, y) when that pixel lies inside the image. Returns the new number (the first free
    // slot, as for Place), nothing when the point is outside and the marker is gone.
    std::optional<int> Move(MarkerSet& set, colour::ImageBitmap& bitmap, const colour::Palette& palette,
                            const MarkerStyle& style, const PlaneMapping& mapping, int number, int x, int y,
                            const std::string& text, MarkerShape shape);

    // Forgets what is drawn without touching a bitmap (a new image replaced the old one).
    void ForgetDrawn();

private:
    void draw(const Marker& m, TMarker& t, colour::ImageBitmap& bitmap, uint32_t pen, int size, bool saveBackground);
    void restore(TMarker& t, const Marker& m, colour::ImageBitmap& bitmap);

    std::array<TMarker, MarkerSlots> m_slots{};
    std::vector<int> m_drawOrder;  // numbers of the drawn markers, first drawn first
    bool m_available = false;
};

// Draws the marker symbol centred on (x, y) with pen value `pen` into `bitmap`, clipped to it: the
// cross of the marker size, the four thick ticks and the shape's outline. Every pixel it sets lies
// within (size - 1) / 2 of (x, y).
void DrawMarkerSymbol(colour::ImageBitmap& bitmap, int x, int y, int size, MarkerShape shape, uint32_t pen);

}  // namespace document
