#pragma once

#include "engine/ComputeState.h"
#include "engine/Isa.h"
#include "engine/SimdKernels.h"

// How the parallel engine runs a computation: what one pixel hands to the next in serial order (and so
// what a row needs from the rows before it), and the vectorised job when a lane kernel exists for it.
namespace engine {

enum class Carry {
    None,       // nothing that changes a value
    ByValue,    // PrevInside, set by every pixel to (value == 65535): the Level kernels with periodicity checking
    Opaque,     // PrevInside, set only by some pixels: Level+Distance over a Level kernel with periodicity checking
    Potential,  // the last potential formed (Potential keeps it for the pixels where none can be formed)
};

struct Plan {
    Carry carry = Carry::None;
    bool guess = false;  // PrevInside assumed at the start of each row
    bool laneable = false;
    simd::LaneJob job;
};

// The plan for the kernel SelectKernel chose (mirrors its choice); the job's region is left to the caller.
Plan makePlan(const FractalCore& f);

// The lane runner of an instruction set for a job, nullptr for the scalar kernels.
simd::LaneRunner laneRunner(Isa isa, const simd::LaneJob& job);

}  // namespace engine
