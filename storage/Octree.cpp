#include "storage/Octree.h"

#include <algorithm>

namespace storage {
namespace {

uint8_t roundedMean(uint64_t sum, uint64_t count)
{
    uint64_t q = sum / count;
    const uint64_t twiceRem = 2 * (sum % count);
    if (twiceRem > count || (twiceRem == count && (q & 1)))
        ++q;
    return uint8_t(std::min<uint64_t>(q, 255));
}

}  // namespace

OctreeQuantizer::OctreeQuantizer(int maxColours, int colourBits)
    : m_maxColours(std::max(1, maxColours)), m_colourBits(std::clamp(colourBits, 1, 8))
{
    m_reducible.fill(-1);
    m_root = newNode(0);
}

int32_t OctreeQuantizer::newNode(int level)
{
    int32_t index;
    if (!m_free.empty()) {
        index = m_free.back();
        m_free.pop_back();
        m_nodes[size_t(index)] = Node{};
    } else {
        index = int32_t(m_nodes.size());
        m_nodes.emplace_back();
    }
    Node& n = m_nodes[size_t(index)];
    if (level == m_colourBits) {
        n.leaf = true;
        ++m_leafCount;
    } else {
        n.nextReducible = m_reducible[size_t(level)];
        m_reducible[size_t(level)] = index;
    }
    return index;
}

void OctreeQuantizer::freeNode(int32_t index)
{
    m_free.push_back(index);
}

void OctreeQuantizer::addColour(Rgb c)
{
    if (m_lastLeaf >= 0 && c == m_lastColour) {
        Node& leaf = m_nodes[size_t(m_lastLeaf)];
        leaf.sumR += c.r;
        leaf.sumG += c.g;
        leaf.sumB += c.b;
        ++leaf.pixels;
        return;
    }
    int32_t index = m_root;
    for (int level = 0; !m_nodes[size_t(index)].leaf; ++level) {
        const int shift = 7 - level;
        const int child = (((c.r >> shift) & 1) << 2) | (((c.g >> shift) & 1) << 1) | ((c.b >> shift) & 1);
        int32_t next = m_nodes[size_t(index)].children[size_t(child)];
        if (next < 0) {
            next = newNode(level + 1);  // may reallocate m_nodes
            m_nodes[size_t(index)].children[size_t(child)] = next;
        }
        index = next;
    }
    Node& leaf = m_nodes[size_t(index)];
    leaf.sumR += c.r;
    leaf.sumG += c.g;
    leaf.sumB += c.b;
    ++leaf.pixels;
    m_lastLeaf = index;
    m_lastColour = c;
    if (m_leafCount > m_maxColours) {
        while (m_leafCount > m_maxColours)
            reduce();
        m_lastLeaf = -1;  // the leaf may have been folded into its parent
    }
}

void OctreeQuantizer::addBgrRow(const uint8_t* bgr, int count)
{
    for (int x = 0; x < count; ++x, bgr += 3)
        addColour(Rgb{bgr[2], bgr[1], bgr[0]});
}

void OctreeQuantizer::reduce()
{
    // The root (level 0) is never folded: at level 1 there are at most 8 leaves.
    int level = m_colourBits - 1;
    while (level > 0 && m_reducible[size_t(level)] < 0)
        --level;
    const int32_t index = m_reducible[size_t(level)];
    if (index < 0)
        return;
    Node& node = m_nodes[size_t(index)];
    m_reducible[size_t(level)] = node.nextReducible;
    int children = 0;
    for (int32_t& child : node.children) {
        if (child < 0)
            continue;
        // Children of a node at the deepest inner level with nodes are always leaves.
        const Node& c = m_nodes[size_t(child)];
        node.sumR += c.sumR;
        node.sumG += c.sumG;
        node.sumB += c.sumB;
        node.pixels += c.pixels;
        freeNode(child);
        child = -1;
        ++children;
    }
    node.leaf = true;
    m_leafCount -= children - 1;
}

void OctreeQuantizer::collect(int32_t index, std::vector<Rgb>& out) const
{
    const Node& n = m_nodes[size_t(index)];
    if (n.leaf) {
        if (n.pixels > 0)
            out.push_back(Rgb{roundedMean(n.sumR, n.pixels), roundedMean(n.sumG, n.pixels),
                              roundedMean(n.sumB, n.pixels)});
        return;
    }
    for (int32_t child : n.children)
        if (child >= 0)
            collect(child, out);
}

std::vector<Rgb> OctreeQuantizer::palette() const
{
    std::vector<Rgb> out;
    out.reserve(size_t(m_leafCount));
    collect(m_root, out);
    return out;
}

}  // namespace storage
