#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "engine/Values.h"

namespace engine {

// Indices of the type catalogue. 2, 5, 8 and 10 are separator rows of the type list.
inline constexpr int TypeCount = 18;
inline constexpr int AlgorithmCount = 6;
inline constexpr int FormulaCount = 5;
inline constexpr int FunctionCount = 5;
inline constexpr int BailoutCount = 6;

enum Bailout : uint8_t { BailMod = 0, BailSqrZr = 1, BailSqrZi = 2, BailEpsilon = 3, BailAnd = 4, BailOr = 5 };

enum Formula : uint8_t { FormulaZ2 = 0, FormulaZ3 = 1, FormulaZ4 = 2, FormulaZ8 = 3, FormulaZ2C2 = 4 };

enum Function : uint8_t { FnSin = 0, FnCos = 1, FnSinh = 2, FnCosh = 3, FnExp = 4 };

inline constexpr int ZoomBase = 200;
inline constexpr double MinStepAll = 1e-15;

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

const TypeDefaults& typeDefaults(int type);  // type 0..17; anything else gets a separator record

bool isSeparator(int type);
bool isValidType(int type);           // 0..17 and not a separator
int typeAboveSeparator(int type);     // the list's rule: a picked separator selects the entry above it
bool usesParamC(int type);            // {1, 4, 7, 11, 14, 15, 17}
bool usesOrbitArrays(int algorithm);  // Distance, Level+Distance, Color Distance

// Display names. Type names are padded to nothing: the catalogue's fixed widths matter only in files.
std::string_view typeName(int type);  // a separator is 30 "-"
std::string_view formulaName(int formula);
std::string_view functionName(int function);
std::string_view bailoutTextName(int bailout);    // "Mod", "sqrZ", ... as used in texts
std::string_view bailoutListName(int bailout);    // "Mod", "sqr(Zr)", ... as listed in the dialog
std::string_view algorithmName(int algorithm, int language);  // language 0 English, 1 French

// The label pair of the complex parameter for a type, empty for types that ignore it.
struct ParamCLabels {
    std::string_view real, imag;
};
ParamCLabels paramCLabels(int type);

}  // namespace engine
