#include "storage/Lzw.h"

#include "storage/ImageSink.h"

namespace storage {
namespace {

constexpr size_t HashSize = 8192;  // a power of two, twice the largest table
constexpr int MaxCodeSize = 12;

size_t hashOf(uint32_t key)
{
    return size_t((key * 2654435761u) >> 19) & (HashSize - 1);
}

}  // namespace

LzwEncoder::LzwEncoder(ImageSink& sink, int minCodeSize)
    : m_sink(sink),
      m_minCodeSize(minCodeSize),
      m_clearCode(1u << minCodeSize),
      m_endCode((1u << minCodeSize) + 1),
      m_keys(HashSize, 0),
      m_codes(HashSize, 0),
      m_generation(HashSize, 0)
{
    m_block.reserve(255);
    const uint8_t size = uint8_t(minCodeSize);
    m_ok = m_sink.write(&size, 1);
    resetTable();
    m_ok = m_ok && emit(m_clearCode);
}

void LzwEncoder::resetTable()
{
    ++m_currentGeneration;
    m_nextCode = m_endCode + 1;
    m_codeSize = m_minCodeSize + 1;
}

int32_t LzwEncoder::lookup(uint32_t key) const
{
    for (size_t slot = hashOf(key);; slot = (slot + 1) & (HashSize - 1)) {
        if (m_generation[slot] != m_currentGeneration)
            return -1;
        if (m_keys[slot] == key)
            return m_codes[slot];
    }
}

void LzwEncoder::insert(uint32_t key, uint16_t code)
{
    size_t slot = hashOf(key);
    while (m_generation[slot] == m_currentGeneration)
        slot = (slot + 1) & (HashSize - 1);
    m_generation[slot] = m_currentGeneration;
    m_keys[slot] = key;
    m_codes[slot] = code;
}

bool LzwEncoder::flushBlock()
{
    if (m_block.empty())
        return true;
    const uint8_t length = uint8_t(m_block.size());
    const bool ok = m_sink.write(&length, 1) && m_sink.write(m_block.data(), m_block.size());
    m_block.clear();
    return ok;
}

bool LzwEncoder::emit(uint32_t code)
{
    m_bits |= uint64_t(code) << m_bitCount;
    m_bitCount += m_codeSize;
    ++m_codesWritten;
    while (m_bitCount >= 8) {
        m_block.push_back(uint8_t(m_bits));
        m_bits >>= 8;
        m_bitCount -= 8;
        if (m_block.size() == 255 && !flushBlock())
            return false;
    }
    return true;
}

bool LzwEncoder::add(const uint8_t* indexes, size_t count)
{
    for (size_t i = 0; i < count && m_ok; ++i) {
        const uint32_t k = indexes[i];
        if (m_prefix < 0) {
            m_prefix = int32_t(k);
            continue;
        }
        const uint32_t key = (uint32_t(m_prefix) << 8) | k;
        const int32_t found = lookup(key);
        if (found >= 0) {
            m_prefix = found;
            continue;
        }
        m_ok = emit(uint32_t(m_prefix));
        // The new string gets the next free code. The decoder adds the same entry one code later
        // and widens its codes as soon as its next free code reaches 1 << codeSize; the encoder
        // widens at the same point of the stream.
        const uint32_t code = m_nextCode++;
        insert(key, uint16_t(code));
        if (code >= (1u << m_codeSize) && m_codeSize < MaxCodeSize)
            ++m_codeSize;
        if (m_nextCode == ClearLimit) {
            m_ok = m_ok && emit(m_clearCode);
            ++m_clearsWritten;
            resetTable();
        }
        m_prefix = int32_t(k);
    }
    return m_ok;
}

bool LzwEncoder::finish()
{
    if (!m_ok)
        return false;
    if (m_prefix >= 0) {
        m_ok = emit(uint32_t(m_prefix));
        // Reading this code the decoder adds one more entry (unless it is the first code after a
        // clear, when no entry has been added yet) and widens its codes when its next free code
        // reaches 1 << codeSize; the end code must use the width the decoder then expects.
        const bool entriesSinceClear = m_nextCode > m_endCode + 1;
        if (entriesSinceClear && m_nextCode >= (1u << m_codeSize) && m_codeSize < MaxCodeSize)
            ++m_codeSize;
    }
    m_ok = m_ok && emit(m_endCode);
    if (m_ok && m_bitCount > 0) {
        m_block.push_back(uint8_t(m_bits));
        m_bits = 0;
        m_bitCount = 0;
    }
    const uint8_t terminator = 0;
    m_ok = m_ok && flushBlock() && m_sink.write(&terminator, 1);
    return m_ok;
}

}  // namespace storage
