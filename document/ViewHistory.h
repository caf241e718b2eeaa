#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "engine/Parameters.h"
#include "engine/Values.h"

namespace document {

class TFractal;

// One view of a document: the parameters in force and, while they are held, the values computed for
// them (so that the picture can come back without computing).
struct ViewRecord {
    engine::FractalParams Params;
    uint8_t PixelFormat = engine::PixelFormat8;
    double LeftX = 0, TopY = 0;
    std::shared_ptr<const engine::TVxWork> Values;  // null: not held
    uint16_t BaseMaxIter = 250;
    bool UniformIter = true;

    size_t valueBytes() const;
};

// The views a document went through, for Back and Forward. Each change of view records the view it
// replaced; stepping back or forward exchanges the current view with the nearest one on that side.
// The values of the views are kept within a memory budget: when they outgrow it, the values of the
// views furthest from the current one are dropped first (their parameters stay).
class ViewHistory {
public:
    static constexpr size_t DefaultCacheBytes = size_t(256) << 20;
    static constexpr size_t MaxViews = 1000;  // oldest views beyond this are forgotten

    explicit ViewHistory(size_t cacheBytes = DefaultCacheBytes) : m_limit(cacheBytes) {}

    // A new view replaced `replaced`: it becomes the previous view; the views ahead are forgotten.
    void record(ViewRecord replaced);
    bool canGoBack() const { return !m_back.empty(); }
    bool canGoForward() const { return !m_forward.empty(); }
    // The view before the current one, which becomes current; `current` is kept for Forward.
    // Nothing when there is none (and `current` is not kept).
    std::optional<ViewRecord> back(ViewRecord current);
    // The view after the current one, which becomes current; `current` is kept for Back.
    std::optional<ViewRecord> forward(ViewRecord current);
    void clear();

    size_t backCount() const { return m_back.size(); }
    size_t forwardCount() const { return m_forward.size(); }
    // The bytes of values held by all views.
    size_t cachedBytes() const;
    size_t cacheLimit() const { return m_limit; }
    void setCacheLimit(size_t bytes);

private:
    void trim();

    std::vector<ViewRecord> m_back;     // nearest last
    std::vector<ViewRecord> m_forward;  // nearest last
    size_t m_limit;
};

// The view of `f` now. With `withValues`, its values are copied into the record when the picture holds
// the values of the parameters in force: computed to the end with them, sized as the image.
ViewRecord CaptureView(const TFractal& f, bool withValues);
// True when the values of `r` can be put back into `f` as it is allocated now (same size and depth,
// and the same algorithm and maximum iterations, which the colour tables depend on).
bool ValuesFit(const TFractal& f, const ViewRecord& r);
// Puts the parameters of `r` in force. When its values fit (ValuesFit), they are put back and the
// picture coloured from them: the parameters then count as computed and the result is true. Otherwise
// the picture stays as it was and must be recalculated: false.
bool RestoreView(TFractal& f, const ViewRecord& r);

// Zooms in (halving the step) or out (doubling it) about pixel (col, row): the plane point under that
// pixel stays under it. The step is held within the type's limits; false when it had to be held.
bool ZoomAboutPixel(TFractal& f, int col, int row, bool zoomIn);

}  // namespace document
