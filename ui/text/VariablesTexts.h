#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "ui/text/Language.h"

namespace text {

// The fractal variables dialog, rows 1 to 47.
enum class VariablesText : uint8_t {
    Caption = 1,  // 1: "Fractal variables"
    FractalPage,  // 2: "&Fractal"
    ImagePage,  // 3: "&Image"
    VariablesPage,  // 4: "&Variables"
    DimensionsPage,  // 5: "&Dimensions"
    MorePage,  // 6: "&More..."
    FractalSpecifications,  // 7: "Fractal Specifications "
    ImageSizeGroup,  // 8: "Image Size "
    FractalVariablesGroup,  // 9: "Fractal Variables "
    FractalSizeGroup,  // 10: "Fractal Size "
    ExtendedVariables,  // 11: "Extended variables "
    DistanceAlgorithm,  // 12: "Distance algorithm "
    PertubationOfZ,  // 13: "Pertubation of Z "
    DefaultValuesWhenChoosing,  // 14: "Default values when choosing Fractal"
    FractalType,  // 15: "Fractal Type:"
    FractalLabel,  // 16: "Fractal:"
    Algorithm,  // 17: "Algorithm:"
    Function,  // 18: "Function"
    IterationsMax,  // 19: "Iterations max:"
    Iterations,  // 20: "Iterations:"
    IterationsForTouchingUp,  // 21: "Iterations for Touching up:"
    EscapeLevel,  // 22: "Escape level:"
    EscapeLevelShort,  // 23: "Escape level:"
    PeriodicityChecking,  // 24: "Periodicity Checking"
    ImageSizeLabel,  // 25: "Image Size: "
    WidthPixels,  // 26: "Width (pixels):"
    HeighPixels,  // 27: "Heigh (pixels):"
    ImageDeep,  // 28: "Image Deep:"
    AvailableRAM,  // 29: "Available RAM:"
    RAMForCalculation,  // 30: "RAM for calculation:"
    RAMForOrbits,  // 31: "RAM for orbits:"
    RAMForColorTable,  // 32: "RAM for color table:"
    XCenter,  // 33: "X Center:"
    YCenter,  // 34: "Y Center:"
    CalculationStep,  // 35: "Calculation step:"
    AbsoluteScale,  // 36: "Absolute Scale:"
    Scale,  // 37: "Scale:   "
    RelativeScale,  // 38: "Relative Scale:"
    DefaultValues,  // 39: "Default values"
    DefaultImage,  // 40: "Default image"
    Copy,  // 41: "Co&py"
    TopLeftCorner,  // 42: "Top left corner:"
    BottomRigthCorner,  // 43: "Bottom rigth corner:"
    No,  // 44: "No"
    Yes,  // 45: "Yes"
    CorrectColourQuestion,  // 46: "Correct the color configuration ?"
    CurrentColourConfiguration,  // 47: "The current color configuration is"
    End
};
std::string_view lookup(VariablesText id, int language);
std::span<const Bilingual> variablesTable();

}  // namespace text
