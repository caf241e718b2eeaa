#pragma once

#include <cstdint>
#include <optional>

#include "engine/ComputeState.h"

namespace engine {

// Iteration count of the pixel (col, row) with an iteration limit of 65535, for the iterations-at-a-point
// tool. Uses the Level kernel of the type whatever the algorithm: type 0 by Formula, 6 and 7 by
// FunctionIndex, 13 by NewtonP (3..10), the others by type; the other kernel inputs are those of the last
// SelectKernel (f.Inputs). Empty for separators and out-of-range selectors (e.g. NewtonP 11).
//
// The probe runs with a state of its own: PrevInside is false, so periodicity checking never cuts it
// short and the count does not depend on the last pixel computed. Data and f.State are not touched.
// `orbit`, when given, receives the point's orbit (for the kernels that plot orbits).
std::optional<uint16_t> ProbePoint(const FractalCore& f, int col, int row, OrbitObserver* orbit = nullptr);

}  // namespace engine
