#pragma once

#include <cstdint>

// A test seam for the allocation steps whose failure the user sees as a "No Memory ..." message.
// Their buffers are usually far too small to run out in a test, so a test arms one step here and
// the chosen check of that step throws std::bad_alloc, exactly as the allocation itself would. The
// code under test then takes its ordinary out-of-memory path.
//
// Off by default. A disarmed check is one atomic load, made once per allocation step (never per row
// or pixel). Arming is process-wide and meant for tests only; checks may run on any thread.
namespace engine {

enum class AllocationStep : uint8_t {
    Bitmap,        // storage::AllocImage: the display bitmap
    Workspace,     // storage::AllocImage: the value array Data
    Orbits,        // the saved-orbit arrays (AllocImage, touch-up): one check per array, X then Y
    ColourTables,  // the 24-bit colour tables (AllocImage, touch-up): one check per table, R, G, B
    Markers2D,     // document::TMarkerSlots::CreateMarkers: one check per slot's 2D save area
    Markers3D,     // document::TMarkerSlots::CreateMarkers: one check per slot's 3D save area
};

// Arms the seam: the check number `skip` + 1 of `step` from now on throws std::bad_alloc, once;
// then the seam is disarmed again. Replaces any earlier arming.
void failAllocationAt(AllocationStep step, int skip = 0);

// Disarms the seam.
void clearAllocationFailure();

// True while armed (the chosen check has not come yet).
bool allocationFailureArmed();

// Placed just before an allocation of `step`: throws std::bad_alloc when armed for this check.
void checkAllocation(AllocationStep step);

// Arms the seam for the life of a scope (a test), and disarms it on leaving.
class ScopedAllocationFailure {
public:
    explicit ScopedAllocationFailure(AllocationStep step, int skip = 0) { failAllocationAt(step, skip); }
    ~ScopedAllocationFailure() { clearAllocationFailure(); }
    ScopedAllocationFailure(const ScopedAllocationFailure&) = delete;
    ScopedAllocationFailure& operator=(const ScopedAllocationFailure&) = delete;
};

}  // namespace engine
