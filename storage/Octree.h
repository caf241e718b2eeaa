#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace storage {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

// Octree colour quantization (Gervautz and Purgathofer) used to reduce a 24-bit image to at most
// `maxColours` colours before it is written as GIF.
//
// Colours go down the tree from the root one level per bit, most significant bit first, as far
// as `colourBits` levels (8: a leaf then stands for one exact colour, so an image of at most
// maxColours distinct colours keeps all of them exactly). Whenever a new leaf makes the leaf
// count exceed maxColours, the tree is reduced: among the deepest level that still has inner
// nodes, the inner node created last is folded into a leaf holding the sums of its children.
// Each leaf's colour is the mean of the colours it received, rounded to nearest (ties to even).
class OctreeQuantizer {
public:
    explicit OctreeQuantizer(int maxColours = 256, int colourBits = 8);

    void addColour(Rgb c);
    // Adds `count` pixels of one row of blue, green, red triplets.
    void addBgrRow(const uint8_t* bgr, int count);

    int leafCount() const { return m_leafCount; }
    // The leaf colours in tree order (children 0..7 depth first). Never more than maxColours.
    std::vector<Rgb> palette() const;

private:
    struct Node {
        uint64_t sumR = 0, sumG = 0, sumB = 0, pixels = 0;
        std::array<int32_t, 8> children{-1, -1, -1, -1, -1, -1, -1, -1};
        int32_t nextReducible = -1;
        bool leaf = false;
    };

    int32_t newNode(int level);
    void freeNode(int32_t index);
    void reduce();
    void collect(int32_t index, std::vector<Rgb>& out) const;

    int m_maxColours;
    int m_colourBits;
    int m_leafCount = 0;
    std::vector<Node> m_nodes;
    std::vector<int32_t> m_free;
    std::array<int32_t, 9> m_reducible{};  // per level: the inner node created last, linked to older ones
    int32_t m_root = -1;
    // The leaf of the previous colour: runs of one colour skip the walk down the tree.
    int32_t m_lastLeaf = -1;
    Rgb m_lastColour;
};

}  // namespace storage
