#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/Values.h"

namespace engine {

inline constexpr int TypeCount = 18;
inline constexpr int AlgorithmCount = 6;
inline constexpr int FormulaCount = 5;
inline constexpr int FunctionCount = 5;
inline constexpr int BailoutCount = 6;
inline constexpr int NewtonMeasureCount = 3;  // Newton reads Bailout as one of three convergence measures

// The fractal types, valued as the type byte of a document and the row of the type list. The four
// Separator rows are lines of the list, never a type to compute.
enum class TypeId : uint8_t {
    Mandelbrot = 0,
    Julia = 1,
    Separator2 = 2,
    MandelbrotZC = 3,  // Z C (1 - Z)
    JuliaZC = 4,
    Separator5 = 5,
    MandelbrotFn = 6,  // fn(Z) C
    JuliaFn = 7,
    Separator8 = 8,
    MandelbrotInverse = 9,  // Z^2 + 1/C
    Separator10 = 10,
    Magnetism = 11,
    ManOfWar = 12,
    Newton = 13,
    Phoenix = 14,
    Phoenix2 = 15,
    Spider = 16,
    VolterraLotka = 17,
};

enum Bailout : uint8_t { BailMod = 0, BailSqrZr = 1, BailSqrZi = 2, BailEpsilon = 3, BailAnd = 4, BailOr = 5 };

enum Formula : uint8_t { FormulaZ2 = 0, FormulaZ3 = 1, FormulaZ4 = 2, FormulaZ8 = 3, FormulaZ2C2 = 4 };

enum Function : uint8_t { FnSin = 0, FnCos = 1, FnSinh = 2, FnCosh = 3, FnExp = 4 };

inline constexpr int ZoomBase = 200;
inline constexpr double MinStepAll = 1e-15;

// The zoom shown to the user (the dialog's scale, vorex-cli's --zoom) and the step, each the other's
// 1 / (ZoomBase x value).
constexpr double stepFromZoom(double zoom) { return 1.0 / (ZoomBase * zoom); }
constexpr double zoomFromStep(double step) { return 1.0 / (ZoomBase * step); }

// A closed range of whole numbers.
struct IntRange {
    int min = 0, max = 0;
    constexpr bool contains(long long v) const { return v >= min && v <= max; }
};

// The limits of the numbers a user types, the same in the variables dialog, the touch-up dialog and
// vorex-cli. The limits of the reals (centre, step, zoom, type constant, perturbation) depend on the
// type: they are in its TypeDefaults.
struct FieldLimitTable {
    IntRange Iterations{20, 65000};         // MaxIter
    IntRange TouchUpIterations{1, 65000};   // the touch-up's limit; it never goes below the image's MaxIter
    IntRange EscapeLevel{2, 255};           // shown as the level, stored as its square
    IntRange NewtonP{3, 10};
    IntRange Delta{1, 500};                 // in 1/500 of a pixel step
    IntRange ImageSide{1, 20000};           // pixels, width and height alike
};
inline constexpr FieldLimitTable FieldLimits{};

// Per-type defaults and limits.
struct TypeDefaults {
    double CentreX = 0, CentreY = 0;
    double Xmin = 0, Xmax = 0, Ymin = 0, Ymax = 0;
    double MinStep = 0;
    double Step = 0;     // the default step, which is also the largest one
    double MaxStep = 0;
    uint16_t MaxIter = 0;
    int32_t ZoomBase = 0;
    double ParamCr = 0, ParamCi = 0;
    double Crmin = 0, Crmax = 0, Cimin = 0, Cimax = 0;
    double PertZr = 0, PertZi = 0;
    double Pmin = 0, Pmax = 0;
    int32_t Delta = 0;
    std::array<uint16_t, AlgorithmCount> LevelSq{};  // default EscapeLevelSq by algorithm
    uint8_t MaxAlgorithm = 0;                          // highest algorithm the dialog offers
    uint8_t MaxBailout = 0;                            // highest bail-out the dialog offers
};

// What the type's complex parameter (ParamCr, ParamCi) stands for.
enum class ParamCRole : uint8_t { None, JuliaC, MagnetismQ, PhoenixC, VolterraHK };

// What the Bailout field means to the type's Level kernel.
enum class BailoutUse : uint8_t {
    FixedMod,     // the kernel compares |z|^2 with the level (or a fixed radius) whatever Bailout says
    EscapeTest,   // Bailout chooses the escape test, 0..BailoutCount-1
    Convergence,  // Bailout chooses the convergence measure, 0..NewtonMeasureCount-1 (Newton)
};

// When the escape level reaches the type's kernels.
enum class EscapeLevelUse : uint8_t {
    Never,    // no escape test (Newton converges)
    Always,   // with the algorithms that have an escape test: Level, Level+Distance, Binary
    ExpOnly,  // the fn(Z)C types: only the exp function compares with the level, the others with 100000
};

// Everything the program asks about a type. Read once per computation or dialog refresh, never per pixel.
struct TypeTraits {
    TypeId id = TypeId::Separator2;
    std::string_view name{};  // the type list's text; a separator is 30 "-"
    bool separator = false;
    bool hasFormula = false;   // Formula selects the Level kernel (Mandelbrot)
    bool hasFunction = false;  // FunctionIndex selects fn (the fn(Z)C types)
    bool hasNewtonP = false;   // NewtonP is the degree (Newton)
    ParamCRole paramC = ParamCRole::None;
    bool usesPertZ = false;       // the dialog's PertZ fields are enabled (with the Level algorithm)
    bool pertZInSummary = false;  // the variables text lists a non-zero PertZ
    EscapeLevelUse escapeLevel = EscapeLevelUse::Never;
    BailoutUse bailout = BailoutUse::FixedMod;
    bool periodicity = false;      // the Level kernel checks periodicity (Mandelbrot: Z^2+C only)
    bool orbits = false;           // the Level kernel plots orbits: the orbit window is offered
    bool hasJuliaPartner = false;  // a Mandelbrot form whose Julia centre and PertZ can be picked on the image
    TypeDefaults defaults;         // defaults and limits; MaxAlgorithm and MaxBailout say what is offered
};

// The row of a type. An id outside 0..17 gets a separator row with an empty name.
const TypeTraits& traits(TypeId type);
inline const TypeDefaults& typeDefaults(TypeId type) { return traits(type).defaults; }

// A type byte of a document or a --type number: true for 0..17 except the separators.
bool isValidType(int index);
bool isSeparator(TypeId type);
TypeId typeAboveSeparator(TypeId type);  // the list's rule: a picked separator selects the entry above it
bool usesParamC(TypeId type);            // {Julia, Julia ZC(1-Z), Julia fn(Z)C, Magnetism, Phoenix, Phoenix 2, Volterra-Lotka}
bool usesOrbitArrays(int algorithm);     // Distance, Level+Distance, Color Distance
// The Bailout index the type's kernels read: an index they do not know counts as Mod (0).
int kernelBailout(TypeId type, int bailout);

// Display names. Type names are padded to nothing: the catalogue's fixed widths matter only in files.
std::string_view typeName(TypeId type);  // a separator is 30 "-"
std::string_view formulaName(int formula);
std::string_view functionName(int function);
std::string_view bailoutTextName(int bailout);    // "Mod", "sqrZ", ... as used in texts
std::string_view bailoutListName(int bailout);    // "Mod", "sqr(Zr)", ... as listed in the dialog
std::string_view algorithmName(int algorithm, int language);  // language 0 English, 1 French

// The label pair of the complex parameter for a type, empty for types that ignore it.
struct ParamCLabels {
    std::string_view real, imag;
};
ParamCLabels paramCLabels(TypeId type);

}  // namespace engine
