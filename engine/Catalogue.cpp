#include "engine/Catalogue.h"

namespace engine {
namespace {

constexpr std::array<uint16_t, AlgorithmCount> allFour = {4, 4, 4, 4, 4, 4};

// Completes the defaults of a real type with the values every type shares: the smallest step, the
// zoom base, the perturbation limits, and the largest step, which is the default one.
constexpr TypeDefaults shared(TypeDefaults d)
{
    d.MinStep = MinStepAll;
    d.MaxStep = d.Step;
    d.ZoomBase = ZoomBase;
    d.Pmin = -5;
    d.Pmax = 5;
    return d;
}

// The separator rows hold nothing but the escape levels and the Delta of their records.
constexpr TypeDefaults separatorDefaults{.Delta = 20, .LevelSq = allFour};

constexpr std::string_view separatorName = "------------------------------";

constexpr TypeTraits separator(TypeId id)
{
    return {.id = id, .name = separatorName, .separator = true, .defaults = separatorDefaults};
}

constexpr std::array<TypeTraits, TypeCount> table = {{
    {.id = TypeId::Mandelbrot, .name = "Mandelbrot", .hasFormula = true,
     .usesPertZ = true, .pertZInSummary = true,
     .escapeLevel = EscapeLevelUse::Always, .bailout = BailoutUse::EscapeTest,
     .periodicity = true, .orbits = true, .hasJuliaPartner = true,
     .defaults = shared({.CentreX = -0.5, .CentreY = 0, .Xmin = -2.18, .Xmax = 1.5, .Ymin = -1.25, .Ymax = 1.25,
                         .Step = 0.01, .MaxIter = 250,
                         .ParamCr = 0, .ParamCi = 0, .Crmin = -2.18, .Crmax = 1.5, .Cimin = -1.25, .Cimax = 1.25,
                         .Delta = 10, .LevelSq = {4, 4, 4, 400, 4, 4},
                         .MaxAlgorithm = AlgColorDistance, .MaxBailout = BailOr})},

    {.id = TypeId::Julia, .name = "Julia", .paramC = ParamCRole::JuliaC,
     .escapeLevel = EscapeLevelUse::Always, .bailout = BailoutUse::EscapeTest,
     .periodicity = true, .orbits = true,
     .defaults = shared({.CentreX = 0, .CentreY = 0, .Xmin = -2, .Xmax = 2, .Ymin = -2, .Ymax = 2,
                         .Step = 0.01, .MaxIter = 250,
                         .ParamCr = 0.09, .ParamCi = 0.65, .Crmin = -2.18, .Crmax = 1.5, .Cimin = -1.25, .Cimax = 1.25,
                         .Delta = 20, .LevelSq = {4, 4, 4, 4096, 4, 4},
                         .MaxAlgorithm = AlgColorDistance, .MaxBailout = BailOr})},

    separator(TypeId::Separator2),

    // The perturbation moves the start value, but the variables text does not list it for this type.
    {.id = TypeId::MandelbrotZC, .name = "Mandelbrot  ZC(1-Z)",
     .usesPertZ = true, .pertZInSummary = false,
     .escapeLevel = EscapeLevelUse::Always, .bailout = BailoutUse::FixedMod,
     .periodicity = true, .hasJuliaPartner = true,
     .defaults = shared({.CentreX = 0.5, .CentreY = -0.5, .Xmin = -2, .Xmax = 2, .Ymin = -2, .Ymax = 2,
                         .Step = 0.01, .MaxIter = 250,
                         .ParamCr = 0, .ParamCi = 0, .Crmin = -2.18, .Crmax = 1.5, .Cimin = -1.25, .Cimax = 1.25,
                         .Delta = 10, .LevelSq = allFour,
                         .MaxAlgorithm = AlgLevel, .MaxBailout = BailMod})},

    {.id = TypeId::JuliaZC, .name = "Julia  ZC(1-Z)", .paramC = ParamCRole::JuliaC,
     .escapeLevel = EscapeLevelUse::Always, .bailout = BailoutUse::FixedMod,
     .periodicity = true,
     .defaults = shared({.CentreX = 0.5, .CentreY = 0.5, .Xmin = -2, .Xmax = 2, .Ymin = -2, .Ymax = 2,
                         .Step = 0.01, .MaxIter = 250,
                         .ParamCr = 0.85, .ParamCi = 0.6, .Crmin = -2, .Crmax = 2, .Cimin = -2, .Cimax = 2,
                         .Delta = 10, .LevelSq = allFour,
                         .MaxAlgorithm = AlgLevel, .MaxBailout = BailMod})},

    separator(TypeId::Separator5),

    {.id = TypeId::MandelbrotFn, .name = "Mandelbrot  fn(Z)C", .hasFunction = true,
     .usesPertZ = true, .pertZInSummary = true,
     .escapeLevel = EscapeLevelUse::ExpOnly, .bailout = BailoutUse::FixedMod,
     .hasJuliaPartner = true,
     .defaults = shared({.CentreX = 0, .CentreY = 0, .Xmin = -16, .Xmax = 16, .Ymin = -16, .Ymax = 16,
                         .Step = 0.05, .MaxIter = 250,
                         .ParamCr = 0, .ParamCi = 0, .Crmin = -6, .Crmax = 6, .Cimin = -6, .Cimax = 6,
                         .PertZr = 1e-5, .PertZi = 0,
                         .Delta = 10, .LevelSq = {50, 4, 4, 4, 4, 4},
                         .MaxAlgorithm = AlgLevel, .MaxBailout = BailMod})},

    {.id = TypeId::JuliaFn, .name = "Julia  fn(Z)C", .hasFunction = true, .paramC = ParamCRole::JuliaC,
     .escapeLevel = EscapeLevelUse::ExpOnly, .bailout = BailoutUse::FixedMod,
     .defaults = shared({.CentreX = 0, .CentreY = 0, .Xmin = -16, .Xmax = 16, .Ymin = -16, .Ymax = 16,
                         .Step = 0.05, .MaxIter = 250,
                         .ParamCr = 1, .ParamCi = 0.4, .Crmin = -6, .Crmax = 6, .Cimin = -6, .Cimax = 6,
                         .Delta = 10, .LevelSq = {50, 4, 4, 4, 4, 4},
                         .MaxAlgorithm = AlgLevel, .MaxBailout = BailMod})},

    separator(TypeId::Separator8),

    {.id = TypeId::MandelbrotInverse, .name = "Mandelbrot  Z(1/C)",
     .usesPertZ = true, .pertZInSummary = true,
     .escapeLevel = EscapeLevelUse::Always, .bailout = BailoutUse::EscapeTest,
     .orbits = true,
     .defaults = shared({.CentreX = 1.4, .CentreY = 0, .Xmin = -5000, .Xmax = 5000, .Ymin = -5000, .Ymax = 5000,
                         .Step = 0.01, .MaxIter = 200,
                         .ParamCr = 0, .ParamCi = 0, .Crmin = -5000, .Crmax = 5000, .Cimin = -5000, .Cimax = 5000,
                         .Delta = 10, .LevelSq = {4, 4, 4, 400, 4, 4},
                         .MaxAlgorithm = AlgBinary, .MaxBailout = BailOr})},

    separator(TypeId::Separator10),

    {.id = TypeId::Magnetism, .name = "Magnetism", .paramC = ParamCRole::MagnetismQ,
     .escapeLevel = EscapeLevelUse::Always, .bailout = BailoutUse::EscapeTest,
     .orbits = true,
     .defaults = shared({.CentreX = -1.5, .CentreY = 0, .Xmin = -5, .Xmax = 5, .Ymin = -5, .Ymax = 5,
                         .Step = 0.1, .MaxIter = 200,
                         .ParamCr = -1, .ParamCi = 0, .Crmin = -10, .Crmax = 10, .Cimin = -10, .Cimax = 10,
                         .Delta = 10, .LevelSq = {4095, 4, 4, 400, 4, 4},
                         .MaxAlgorithm = AlgLevel, .MaxBailout = BailOr})},

    {.id = TypeId::ManOfWar, .name = "Man-of-war",
     .usesPertZ = true, .pertZInSummary = true,
     .escapeLevel = EscapeLevelUse::Always, .bailout = BailoutUse::EscapeTest,
     .orbits = true,
     .defaults = shared({.CentreX = -0.5, .CentreY = 0, .Xmin = -5, .Xmax = 5, .Ymin = -5, .Ymax = 5,
                         .Step = 0.01, .MaxIter = 200,
                         .Delta = 10, .LevelSq = {4, 4, 4, 400, 4, 4},
                         .MaxAlgorithm = AlgLevel, .MaxBailout = BailOr})},

    {.id = TypeId::Newton, .name = "Newton", .hasNewtonP = true,
     .usesPertZ = true, .pertZInSummary = true,
     .escapeLevel = EscapeLevelUse::Never, .bailout = BailoutUse::Convergence,
     .defaults = shared({.CentreX = 0, .CentreY = 0, .Xmin = -10, .Xmax = 10, .Ymin = -10, .Ymax = 10,
                         .Step = 10, .MaxIter = 200,
                         .Delta = 20, .LevelSq = allFour,
                         .MaxAlgorithm = AlgLevel, .MaxBailout = NewtonMeasureCount - 1})},

    {.id = TypeId::Phoenix, .name = "Phoenix", .paramC = ParamCRole::PhoenixC,
     .usesPertZ = true, .pertZInSummary = true,
     .escapeLevel = EscapeLevelUse::Always, .bailout = BailoutUse::EscapeTest,
     .orbits = true,
     .defaults = shared({.CentreX = 0, .CentreY = 0, .Xmin = -5, .Xmax = 5, .Ymin = -5, .Ymax = 5,
                         .Step = 0.01, .MaxIter = 200,
                         .ParamCr = 0.56667, .ParamCi = -0.5, .Crmin = -2, .Crmax = 2, .Cimin = -2, .Cimax = 2,
                         .Delta = 10, .LevelSq = {4, 4, 4, 400, 4, 4},
                         .MaxAlgorithm = AlgLevel, .MaxBailout = BailOr})},

    {.id = TypeId::Phoenix2, .name = "Phoenix 2", .paramC = ParamCRole::PhoenixC,
     .usesPertZ = true, .pertZInSummary = true,
     .escapeLevel = EscapeLevelUse::Always, .bailout = BailoutUse::EscapeTest,
     .orbits = true,
     .defaults = shared({.CentreX = 0, .CentreY = 0, .Xmin = -5, .Xmax = 5, .Ymin = -5, .Ymax = 5,
                         .Step = 0.01, .MaxIter = 200,
                         .ParamCr = 0.2, .ParamCi = 0, .Crmin = -2, .Crmax = 2, .Cimin = -2, .Cimax = 2,
                         .PertZr = 0.3, .PertZi = 0,
                         .Delta = 10, .LevelSq = {4, 4, 4, 400, 4, 4},
                         .MaxAlgorithm = AlgLevel, .MaxBailout = BailOr})},

    {.id = TypeId::Spider, .name = "Spider",
     .usesPertZ = true, .pertZInSummary = true,
     .escapeLevel = EscapeLevelUse::Always, .bailout = BailoutUse::EscapeTest,
     .orbits = true,
     .defaults = shared({.CentreX = -0.5, .CentreY = 0, .Xmin = -5, .Xmax = 5, .Ymin = -5, .Ymax = 5,
                         .Step = 0.01, .MaxIter = 200,
                         .Delta = 10, .LevelSq = {4, 4, 4, 400, 4, 4},
                         .MaxAlgorithm = AlgLevel, .MaxBailout = BailOr})},

    {.id = TypeId::VolterraLotka, .name = "Volterra-Lotka", .paramC = ParamCRole::VolterraHK,
     .escapeLevel = EscapeLevelUse::Always, .bailout = BailoutUse::EscapeTest,
     .orbits = true,
     .defaults = shared({.CentreX = 0, .CentreY = 0, .Xmin = -5, .Xmax = 5, .Ymin = -5, .Ymax = 5,
                         .Step = 0.02, .MaxIter = 200,
                         .ParamCr = 0.739, .ParamCi = 0.739, .Crmin = 0, .Crmax = 1, .Cimin = 0, .Cimax = 1,
                         .Delta = 10, .LevelSq = {65535, 4, 4, 400, 4, 4},
                         .MaxAlgorithm = AlgLevel, .MaxBailout = BailOr})},
}};

// Every row sits at the index of its id: the table is indexed by the type byte.
constexpr bool rowsInOrder()
{
    for (size_t i = 0; i < table.size(); ++i)
        if (size_t(table[i].id) != i)
            return false;
    return true;
}
static_assert(rowsInOrder(), "the type table is indexed by TypeId");

constexpr TypeTraits unknownType{.id = TypeId(TypeCount), .separator = true, .defaults = separatorDefaults};

constexpr std::array<std::string_view, FormulaCount> formulaNames = {"Z^2+C", "Z^3+C", "Z^4+C", "Z^8+C", "Z^2+C^2"};
constexpr std::array<std::string_view, FunctionCount> functionNames = {"sin", "cos", "sinh", "cosh", "exp"};
constexpr std::array<std::string_view, BailoutCount> bailoutTextNames = {"Mod", "sqrZ", "sqrZi", "Epsilon", "And", "Or"};
constexpr std::array<std::string_view, BailoutCount> bailoutListNames = {"Mod", "sqr(Zr)", "sqr(Zi)", "Epsilon", "And", "Or"};
constexpr std::array<std::array<std::string_view, AlgorithmCount>, 2> algorithmNames = {{
    {"Level", "Distance", "Level+Distance", "Binary", "Color Distance", "Potential"},
    {"Niveau", "Filaments", "Niveau+Filaments", "Binaire", "Distance", "Potentiel"},
}};

template <typename Array>
std::string_view pick(const Array& names, int index)
{
    return index >= 0 && index < int(names.size()) ? names[size_t(index)] : std::string_view{};
}

}  // namespace

const TypeTraits& traits(TypeId type)
{
    const size_t index = size_t(type);
    return index < table.size() ? table[index] : unknownType;
}

bool isValidType(int index)
{
    return index >= 0 && index < TypeCount && !table[size_t(index)].separator;
}

bool isSeparator(TypeId type)
{
    return size_t(type) < table.size() && table[size_t(type)].separator;
}

TypeId typeAboveSeparator(TypeId type)
{
    return isSeparator(type) ? TypeId(uint8_t(type) - 1) : type;
}

bool usesParamC(TypeId type)
{
    return traits(type).paramC != ParamCRole::None;
}

bool usesOrbitArrays(int algorithm)
{
    return algorithm == AlgDistance || algorithm == AlgLevelDistance || algorithm == AlgColorDistance;
}

int kernelBailout(TypeId type, int bailout)
{
    const int count = traits(type).bailout == BailoutUse::Convergence ? NewtonMeasureCount : BailoutCount;
    return bailout >= 0 && bailout < count ? bailout : int(BailMod);
}

std::string_view typeName(TypeId type) { return traits(type).name; }
std::string_view formulaName(int formula) { return pick(formulaNames, formula); }
std::string_view functionName(int function) { return pick(functionNames, function); }
std::string_view bailoutTextName(int bailout) { return pick(bailoutTextNames, bailout); }
std::string_view bailoutListName(int bailout) { return pick(bailoutListNames, bailout); }

std::string_view algorithmName(int algorithm, int language)
{
    return pick(algorithmNames[language == 1 ? 1 : 0], algorithm);
}

ParamCLabels paramCLabels(TypeId type)
{
    switch (traits(type).paramC) {
    case ParamCRole::JuliaC: return {"Julia Cr:", "Julia Ci:"};
    case ParamCRole::MagnetismQ: return {"Magnetism Qr:", "Magnetism Qi:"};
    case ParamCRole::PhoenixC: return {"Phoenix Cr:", "Phoenix Ci:"};
    case ParamCRole::VolterraHK: return {"Volterra h:", "Volterra k:"};
    case ParamCRole::None: break;
    }
    return {};
}

}  // namespace engine
