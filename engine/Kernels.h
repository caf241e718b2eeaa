#pragma once

#include "engine/Catalogue.h"
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

// The ZC(1-Z) and fn(Z)C types (function 0..4); Magnetism, Man-of-war, Phoenix, Phoenix 2, Spider and
// Volterra-Lotka.
KernelFn zcLevel(bool julia);
KernelFn fnLevel(bool julia, int function);
KernelFn otherLevel(TypeId type, int bailout);

// Newton (type 13): degree p 3..10, convergence measure 0..2 (|dz|^2, dRe^2, dIm^2).
KernelFn newtonLevel(int p, int measure);

// The Level kernel of a type, chosen as the point probe chooses it: Mandelbrot by formula, the fn(Z)C
// types by function, Newton by p, the others by type alone. nullptr for separators and out-of-range
// selectors.
KernelFn levelKernel(TypeId type, int formula, int function, int newtonP, int bailout);

// The kernels of algorithms 1..5 (Distance, Level+Distance, Binary, Color Distance, Potential) for
// the types that have them: Mandelbrot and Julia (1..4; 5 for Mandelbrot only) and Mandelbrot Z(1/C)
// (1..3). nullptr otherwise.
KernelFn algorithmKernel(TypeId type, int algorithm, int bailout);

}  // namespace engine::kernels
