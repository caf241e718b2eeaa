#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Plain value types shared by the computation, the colouring and the files: the value field and the
// codes stored with it. Nothing here computes.
namespace engine {

// Colouring algorithms, as stored in documents.
enum Algorithm : uint8_t {
    AlgLevel = 0,
    AlgDistance = 1,
    AlgLevelDistance = 2,
    AlgBinary = 3,
    AlgColorDistance = 4,
    AlgPotential = 5,
};

// Pixel format codes as stored in documents.
inline constexpr uint8_t PixelFormat8 = 3;
inline constexpr uint8_t PixelFormat24 = 6;

// The value every algorithm stores for "inside" (limit reached or cycle found).
inline constexpr uint16_t Inside = 65535;

// Height rows of Width 16-bit values, row 0 at the top.
class TVxWork {
public:
    int width() const { return m_width; }
    int height() const { return m_height; }
    uint16_t* row(int r) { return m_values.data() + size_t(r) * size_t(m_width); }
    const uint16_t* row(int r) const { return m_values.data() + size_t(r) * size_t(m_width); }
    uint16_t& at(int r, int c) { return row(r)[c]; }
    uint16_t at(int r, int c) const { return row(r)[c]; }
    // Resizes, keeping the values whose row and column exist in both sizes; new values are 0.
    // Throws std::bad_alloc when memory runs out, leaving the array as it was.
    void resize(int width, int height);
    void fill(uint16_t value);
    void release();

private:
    int m_width = 0, m_height = 0;
    std::vector<uint16_t> m_values;
};

// A rectangle of pixels, corners inclusive: Left, Top, Right, Bottom (not necessarily in order).
struct PixelRect {
    int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
    // The same rectangle with Left <= Right and Top <= Bottom.
    PixelRect ordered() const;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

}  // namespace engine
