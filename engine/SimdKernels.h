#pragma once

#include <cstddef>
#include <cstdint>

#include "engine/Kernel.h"

// The vectorised z^2 + c kernels. Each vector lane walks its own row from left to right, so that the
// state one pixel hands to the next (PrevInside) stays within the lane, in the serial order of the row.
// Every value is bit-identical to the scalar kernel's: the same IEEE double operations in the same
// order, no fused multiply-add, the same comparisons.
//
// The modules for the instruction sets are compiled with their own flags (engine/SimdSse2.cpp,
// SimdAvx2.cpp, SimdAvx512.cpp); this header is the only thing they share with baseline code, so it holds
// plain data and an interface with no inline code.
namespace engine::simd {

enum class LaneKernel : uint8_t {
    Level,          // the z^2 + c Level kernel
    Distance,       // 255 / 65535
    LevelDistance,  // Distance, then the scalar Level kernel (LaneJob::levelFn) for the pixels at 255
    ColorDistance,  // the distance in tenths of a pixel step
    Binary,         // the half-plane of the last iterate
};

// Start value and constant: Mandelbrot z0 = PertZ for Level (0 for the other kernels), c = pixel;
// Julia z0 = pixel, c = ParamC; Z(1/C) z0 = 0, c = K (1 over the pixel's conjugate, plus PertZ).
enum class LaneStart : uint8_t { Mandelbrot, Julia, Inverse };

// The Level kernels whose recurrence is not z^2 + c, each in the lanes with its own step (the scalar
// kernel's operations in its order). None: the z^2 + c kernels above.
enum class LaneStep : uint8_t {
    None, MandelbrotZC, JuliaZC, Magnetism, ManOfWar, Newton3, Phoenix, Phoenix2, Spider, Volterra, MandelbrotFn, JuliaFn
};

// One computation as the lanes see it; fixed while the computation runs.
struct LaneJob {
    const KernelInputs* in = nullptr;
    LaneKernel kernel = LaneKernel::Level;
    LaneStart start = LaneStart::Mandelbrot;
    int bailout = 0;        // engine::Bailout index, for Level and Binary
    bool periodic = false;  // Level: periodicity checking is on (Mandelbrot and Julia only)
    bool guess = true;      // PrevInside assumed at the start of each row
    double leftX = 0, topY = 0, step = 0;
    int colFirst = 0, colLast = 0;
    uint16_t* data = nullptr;  // row 0, column 0 of Data
    size_t stride = 0;         // values per row of Data
    KernelFn levelFn = nullptr;  // LevelDistance: the scalar Level kernel of the type
    LaneStep recurrence = LaneStep::None;  // Level of the other types; bailout is then Newton's measure for Newton3
    int interval = 0;  // periodicity start interval of a step's kernel, 0 when it has no checking
    int function = 0;  // fn of MandelbrotFn and JuliaFn (engine::Function)
};

// Where the lanes take their rows and hand them back. Shared by every computing thread: thread-safe.
class LaneRows {
public:
    // The next row to compute, or -1 when no row is left or the computation is stopping.
    virtual int takeRow() = 0;
    // False once a stop was requested: the lanes then leave their rows unfinished and return.
    virtual bool running() const = 0;
    // Every column of `row` holds the value computed from PrevInside = `guess` at its start;
    // `prevInsideOut` is PrevInside after its last column.
    virtual void rowDone(int row, bool guess, bool prevInsideOut) = 0;

protected:
    ~LaneRows() = default;
};

// Computes rows taken from `rows` until none is left or a stop is requested.
using LaneRunner = void (*)(const LaneJob& job, LaneRows& rows);

// The runner of one instruction set for a job, nullptr when that module does not handle the job.
// Call only when the CPU has the instruction set.
LaneRunner sse2Runner(const LaneJob& job);
LaneRunner avx2Runner(const LaneJob& job);
LaneRunner avx512Runner(const LaneJob& job);

// The elementary functions of the fn(Z)C lanes over n arguments, W at a time (the rest padded):
// Elementary::SinCos gives sin in a and cos in b, SinhCosh sinh and cosh, Exp e^x in a (b untouched).
enum class Elementary : uint8_t { SinCos, SinhCosh, Exp };
void sse2Elementary(Elementary which, const double* x, double* a, double* b, size_t n);
void avx2Elementary(Elementary which, const double* x, double* a, double* b, size_t n);
void avx512Elementary(Elementary which, const double* x, double* a, double* b, size_t n);

}  // namespace engine::simd
