#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace storage {

class ImageSink;

// The LZW encoder of GIF image data. Writes the minimum code size byte, then the code stream in
// data sub-blocks of at most 255 bytes, then the zero-length block.
//
// Codes are packed least significant bit first, starting at minCodeSize + 1 bits and growing to
// at most 12. The first code is a clear code. The string table is keyed by
// (prefix code x 256 + next index). When the next free code would be 4095 the encoder emits a
// clear code and starts a new table, so the largest code ever in the table is 4094. finish()
// emits the pending code, the end code, and flushes the remaining bits.
class LzwEncoder {
public:
    static constexpr int ClearLimit = 4095;

    // minCodeSize 2..8; indexes given to add() must be below 1 << minCodeSize.
    LzwEncoder(ImageSink& sink, int minCodeSize);

    bool add(const uint8_t* indexes, size_t count);
    bool finish();

    // Counters for tests: codes emitted (clear and end included) and clear codes emitted.
    size_t codesWritten() const { return m_codesWritten; }
    size_t clearsWritten() const { return m_clearsWritten; }

private:
    bool emit(uint32_t code);
    bool flushBlock();
    void resetTable();
    int32_t lookup(uint32_t key) const;
    void insert(uint32_t key, uint16_t code);

    ImageSink& m_sink;
    int m_minCodeSize;
    uint32_t m_clearCode, m_endCode;
    uint32_t m_nextCode = 0;
    int m_codeSize = 0;
    int32_t m_prefix = -1;  // the string being matched, -1 before the first index
    bool m_ok = true;

    uint64_t m_bits = 0;
    int m_bitCount = 0;
    std::vector<uint8_t> m_block;

    // Open-addressing hash of (key -> code); a slot belongs to the current table only when its
    // generation matches, so starting a new table costs nothing.
    std::vector<uint32_t> m_keys;
    std::vector<uint16_t> m_codes;
    std::vector<uint32_t> m_generation;
    uint32_t m_currentGeneration = 1;

    size_t m_codesWritten = 0;
    size_t m_clearsWritten = 0;
};

}  // namespace storage
