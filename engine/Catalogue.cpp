#include "engine/Catalogue.h"

namespace engine {
namespace {

constexpr std::array<uint16_t, 6> levels(uint16_t a, uint16_t b, uint16_t c, uint16_t d, uint16_t e, uint16_t f)
{
    return {a, b, c, d, e, f};
}
constexpr std::array<uint16_t, 6> allFour = {4, 4, 4, 4, 4, 4};

// One row per type; columns as in TypeDefaults. The step column is both the default and the largest step.
constexpr TypeDefaults make(double cx, double cy, double xmin, double xmax, double ymin, double ymax,
                            double step, uint16_t iter, double pcr, double pci, double crmin, double crmax,
                            double cimin, double cimax, double pzr, double pzi, int32_t delta,
                            std::array<uint16_t, 6> lv, uint8_t maxAlg, uint8_t maxBail)
{
    TypeDefaults d;
    d.CentreX = cx; d.CentreY = cy;
    d.Xmin = xmin; d.Xmax = xmax; d.Ymin = ymin; d.Ymax = ymax;
    d.MinStep = MinStepAll;
    d.Step = step; d.MaxStep = step;
    d.MaxIter = iter;
    d.ZoomBase = ZoomBase;
    d.ParamCr = pcr; d.ParamCi = pci;
    d.Crmin = crmin; d.Crmax = crmax; d.Cimin = cimin; d.Cimax = cimax;
    d.PertZr = pzr; d.PertZi = pzi;
    d.Pmin = -5; d.Pmax = 5;
    d.Delta = delta;
    d.LevelSq = lv;
    d.MaxAlgorithm = maxAlg; d.MaxBailout = maxBail;
    return d;
}

constexpr TypeDefaults separator()
{
    TypeDefaults d;
    d.LevelSq = allFour;
    d.Delta = 20;
    return d;
}

const std::array<TypeDefaults, TypeCount> table = {
    make(-0.5, 0, -2.18, 1.5, -1.25, 1.25, 0.01, 250, 0, 0, -2.18, 1.5, -1.25, 1.25, 0, 0, 10, levels(4, 4, 4, 400, 4, 4), 4, 5),
    make(0, 0, -2, 2, -2, 2, 0.01, 250, 0.09, 0.65, -2.18, 1.5, -1.25, 1.25, 0, 0, 20, levels(4, 4, 4, 4096, 4, 4), 4, 5),
    separator(),
    make(0.5, -0.5, -2, 2, -2, 2, 0.01, 250, 0, 0, -2.18, 1.5, -1.25, 1.25, 0, 0, 10, allFour, 0, 0),
    make(0.5, 0.5, -2, 2, -2, 2, 0.01, 250, 0.85, 0.6, -2, 2, -2, 2, 0, 0, 10, allFour, 0, 0),
    separator(),
    make(0, 0, -16, 16, -16, 16, 0.05, 250, 0, 0, -6, 6, -6, 6, 1e-5, 0, 10, levels(50, 4, 4, 4, 4, 4), 0, 0),
    make(0, 0, -16, 16, -16, 16, 0.05, 250, 1, 0.4, -6, 6, -6, 6, 0, 0, 10, levels(50, 4, 4, 4, 4, 4), 0, 0),
    separator(),
    make(1.4, 0, -5000, 5000, -5000, 5000, 0.01, 200, 0, 0, -5000, 5000, -5000, 5000, 0, 0, 10, levels(4, 4, 4, 400, 4, 4), 3, 5),
    separator(),
    make(-1.5, 0, -5, 5, -5, 5, 0.1, 200, -1, 0, -10, 10, -10, 10, 0, 0, 10, levels(4095, 4, 4, 400, 4, 4), 0, 5),
    make(-0.5, 0, -5, 5, -5, 5, 0.01, 200, 0, 0, 0, 0, 0, 0, 0, 0, 10, levels(4, 4, 4, 400, 4, 4), 0, 5),
    make(0, 0, -10, 10, -10, 10, 10, 200, 0, 0, 0, 0, 0, 0, 0, 0, 20, allFour, 0, 2),
    make(0, 0, -5, 5, -5, 5, 0.01, 200, 0.56667, -0.5, -2, 2, -2, 2, 0, 0, 10, levels(4, 4, 4, 400, 4, 4), 0, 5),
    make(0, 0, -5, 5, -5, 5, 0.01, 200, 0.2, 0, -2, 2, -2, 2, 0.3, 0, 10, levels(4, 4, 4, 400, 4, 4), 0, 5),
    make(-0.5, 0, -5, 5, -5, 5, 0.01, 200, 0, 0, 0, 0, 0, 0, 0, 0, 10, levels(4, 4, 4, 400, 4, 4), 0, 5),
    make(0, 0, -5, 5, -5, 5, 0.02, 200, 0.739, 0.739, 0, 1, 0, 1, 0, 0, 10, levels(65535, 4, 4, 400, 4, 4), 0, 5),
};

constexpr std::string_view separatorName = "------------------------------";

constexpr std::array<std::string_view, TypeCount> typeNames = {
    "Mandelbrot", "Julia", separatorName, "Mandelbrot  ZC(1-Z)", "Julia  ZC(1-Z)", separatorName,
    "Mandelbrot  fn(Z)C", "Julia  fn(Z)C", separatorName, "Mandelbrot  Z(1/C)", separatorName,
    "Magnetism", "Man-of-war", "Newton", "Phoenix", "Phoenix 2", "Spider", "Volterra-Lotka",
};

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

const TypeDefaults& typeDefaults(int type)
{
    static const TypeDefaults outside = separator();
    return type >= 0 && type < TypeCount ? table[size_t(type)] : outside;
}

bool isSeparator(int type)
{
    return type == 2 || type == 5 || type == 8 || type == 10;
}

bool isValidType(int type)
{
    return type >= 0 && type < TypeCount && !isSeparator(type);
}

int typeAboveSeparator(int type)
{
    return isSeparator(type) ? type - 1 : type;
}

bool usesParamC(int type)
{
    switch (type) {
    case 1: case 4: case 7: case 11: case 14: case 15: case 17:
        return true;
    default:
        return false;
    }
}

bool usesOrbitArrays(int algorithm)
{
    return algorithm == AlgDistance || algorithm == AlgLevelDistance || algorithm == AlgColorDistance;
}

std::string_view typeName(int type) { return pick(typeNames, type); }
std::string_view formulaName(int formula) { return pick(formulaNames, formula); }
std::string_view functionName(int function) { return pick(functionNames, function); }
std::string_view bailoutTextName(int bailout) { return pick(bailoutTextNames, bailout); }
std::string_view bailoutListName(int bailout) { return pick(bailoutListNames, bailout); }

std::string_view algorithmName(int algorithm, int language)
{
    return pick(algorithmNames[language == 1 ? 1 : 0], algorithm);
}

ParamCLabels paramCLabels(int type)
{
    switch (type) {
    case 1: case 4: case 7: return {"Julia Cr:", "Julia Ci:"};
    case 11: return {"Magnetism Qr:", "Magnetism Qi:"};
    case 14: case 15: return {"Phoenix Cr:", "Phoenix Ci:"};
    case 17: return {"Volterra h:", "Volterra k:"};
    default: return {};
    }
}

}  // namespace engine
