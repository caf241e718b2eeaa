#pragma once

#include "engine/ComputeState.h"

namespace engine {

// Loads the kernel inputs from the edited parameters and chooses f.Kernel for the type, its formula,
// function or Newton degree, and the algorithm. Run before every computation and by the workspace
// allocation. Sets f.State.PrevInside = false and points f.State's saved-orbit pointers at f.XOrbit
// and f.YOrbit (null when empty); f.State.Orbit is left as it is.
//
// A combination without a kernel of its own (an algorithm the type does not offer) gets the type's
// Level kernel. A separator or unknown type, or an unknown formula or function, leaves f.Kernel null:
// the compute driver then computes nothing. A Newton degree outside 3..10 is taken as the nearest
// valid one, and a bail-out index the type does not know as Mod.
//
// The distance kernels need MaxIter + 1 entries in each saved-orbit array: when the arrays are
// shorter, they are grown here; when memory runs out, f.Kernel is left null.
void SelectKernel(FractalCore& f);

}  // namespace engine
