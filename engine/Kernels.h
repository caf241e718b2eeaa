#pragma once

#include "engine/Kernel.h"

// Lookup of the kernels by their selectors. Every function returns nullptr when the selector has no
// kernel; none of them clamps. SelectKernel (engine/SelectKernel.h) and the point probe (engine/Probe.h)
// are the callers.
namespace engine::kernels {

// Mandelbrot (type 0) Level kernel of a formula 0..4. Only Z^2+C uses the bail-out test; the other four
// compare |z|^2 with L and run in extended precision.
KernelFn mandelbrotLevel(int formula, int bailout);
// Julia (type 1) and Mandelbrot Z(1/C) (type 9) Level kernels.
KernelFn juliaLevel(int bailout);
KernelFn inverseLevel(int bailout);

// Types 3 and 4 (ZC(1-Z)), 6 and 7 (fn(Z)C, function 0..4), 11, 12, 14, 15, 16, 17.
KernelFn zcLevel(bool julia);
KernelFn fnLevel(bool julia, int function);
KernelFn otherLevel(int type, int bailout);

// Newton (type 13): degree p 3..10, convergence measure 0..2 (|dz|^2, dRe^2, dIm^2).
KernelFn newtonLevel(int p, int measure);

// The Level kernel of a type, chosen as the point probe chooses it: type 0 by formula, 6 and 7 by
// function, 13 by p, the others by type alone. nullptr for separators and out-of-range selectors.
KernelFn levelKernel(int type, int formula, int function, int newtonP, int bailout);

// The kernels of algorithms 1..5 (Distance, Level+Distance, Binary, Color Distance, Potential) for
// the types that have them: 0 and 1 (1..4; 5 for type 0 only) and 9 (1..3). nullptr otherwise.
KernelFn algorithmKernel(int type, int algorithm, int bailout);

}  // namespace engine::kernels
