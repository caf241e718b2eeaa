// The typed catalogue: its rows against the type sets the program's rules are written with, and its
// answers against the kernels that SelectKernel and the point probe find.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <string>

#include "engine/Catalogue.h"
#include "document/Fractal.h"
#include "engine/Kernels.h"

using namespace engine;

namespace {

bool in(int type, std::initializer_list<int> set)
{
    return std::find(set.begin(), set.end(), type) != set.end();
}

}  // namespace

// Each set is the list of type numbers that the rules of the dialog, the status line, the variables
// text, the menus and the kernel table give for that question.
TEST(Catalogue, TraitsFollowTheDocumentedTypeSets)
{
    const struct {
        const char* what;
        std::function<bool(const TypeTraits&)> asks;
        std::initializer_list<int> types;
    } rows[] = {
        {"separator rows", [](const TypeTraits& t) { return t.separator; }, {2, 5, 8, 10}},
        {"uses ParamC", [](const TypeTraits& t) { return t.paramC != ParamCRole::None; }, {1, 4, 7, 11, 14, 15, 17}},
        {"Julia constant", [](const TypeTraits& t) { return t.paramC == ParamCRole::JuliaC; }, {1, 4, 7}},
        {"Magnetism Q", [](const TypeTraits& t) { return t.paramC == ParamCRole::MagnetismQ; }, {11}},
        {"Phoenix constant", [](const TypeTraits& t) { return t.paramC == ParamCRole::PhoenixC; }, {14, 15}},
        {"Volterra h and k", [](const TypeTraits& t) { return t.paramC == ParamCRole::VolterraHK; }, {17}},
        {"formula selector", [](const TypeTraits& t) { return t.hasFormula; }, {0}},
        {"function selector", [](const TypeTraits& t) { return t.hasFunction; }, {6, 7}},
        {"Newton degree", [](const TypeTraits& t) { return t.hasNewtonP; }, {13}},
        {"PertZ fields enabled", [](const TypeTraits& t) { return t.usesPertZ; }, {0, 3, 6, 9, 12, 13, 14, 15, 16}},
        {"PertZ in the variables text", [](const TypeTraits& t) { return t.pertZInSummary; }, {0, 6, 9, 12, 13, 14, 15, 16}},
        {"escape level always",
         [](const TypeTraits& t) { return t.escapeLevel == EscapeLevelUse::Always; },
         {0, 1, 3, 4, 9, 11, 12, 14, 15, 16, 17}},
        {"escape level with exp only", [](const TypeTraits& t) { return t.escapeLevel == EscapeLevelUse::ExpOnly; }, {6, 7}},
        {"bail-out list enabled",
         [](const TypeTraits& t) { return t.bailout != BailoutUse::FixedMod; },
         {0, 1, 9, 11, 12, 13, 14, 15, 16, 17}},
        {"convergence measure", [](const TypeTraits& t) { return t.bailout == BailoutUse::Convergence; }, {13}},
        {"periodicity checking", [](const TypeTraits& t) { return t.periodicity; }, {0, 1, 3, 4}},
        {"orbit window", [](const TypeTraits& t) { return t.orbits; }, {0, 1, 9, 11, 12, 14, 15, 16, 17}},
        {"Julia centre and PertZ picked on the image", [](const TypeTraits& t) { return t.hasJuliaPartner; }, {0, 3, 6}},
        {"algorithms above Level offered", [](const TypeTraits& t) { return t.defaults.MaxAlgorithm > 0; }, {0, 1, 9}},
    };
    for (const auto& row : rows) {
        for (int type = 0; type < TypeCount; ++type) {
            SCOPED_TRACE(std::string(row.what) + ", type " + std::to_string(type));
            EXPECT_EQ(row.asks(traits(TypeId(type))), in(type, row.types));
        }
    }
}

TEST(Catalogue, RowsAreIndexedByTheTypeByte)
{
    const struct {
        TypeId id;
        int byte;
        const char* name;
    } rows[] = {
        {TypeId::Mandelbrot, 0, "Mandelbrot"},
        {TypeId::Julia, 1, "Julia"},
        {TypeId::MandelbrotZC, 3, "Mandelbrot  ZC(1-Z)"},
        {TypeId::JuliaZC, 4, "Julia  ZC(1-Z)"},
        {TypeId::MandelbrotFn, 6, "Mandelbrot  fn(Z)C"},
        {TypeId::JuliaFn, 7, "Julia  fn(Z)C"},
        {TypeId::MandelbrotInverse, 9, "Mandelbrot  Z(1/C)"},
        {TypeId::Magnetism, 11, "Magnetism"},
        {TypeId::ManOfWar, 12, "Man-of-war"},
        {TypeId::Newton, 13, "Newton"},
        {TypeId::Phoenix, 14, "Phoenix"},
        {TypeId::Phoenix2, 15, "Phoenix 2"},
        {TypeId::Spider, 16, "Spider"},
        {TypeId::VolterraLotka, 17, "Volterra-Lotka"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(int(row.id), row.byte);
        EXPECT_EQ(traits(row.id).id, row.id);
        EXPECT_EQ(typeName(row.id), row.name);
        EXPECT_TRUE(isValidType(row.byte));
        EXPECT_FALSE(isSeparator(row.id));
        EXPECT_EQ(typeAboveSeparator(row.id), row.id);
    }
    for (TypeId separator : {TypeId::Separator2, TypeId::Separator5, TypeId::Separator8, TypeId::Separator10}) {
        SCOPED_TRACE(int(separator));
        EXPECT_EQ(traits(separator).id, separator);
        EXPECT_TRUE(isSeparator(separator));
        EXPECT_FALSE(isValidType(int(separator)));
        EXPECT_EQ(typeName(separator), std::string(30, '-'));
    }
    // Bytes beyond the list name no type and no list row.
    for (int byte : {-1, 18, 255}) {
        SCOPED_TRACE(byte);
        EXPECT_FALSE(isValidType(byte));
    }
    for (int byte : {18, 200, 255}) {
        SCOPED_TRACE(byte);
        const TypeTraits& t = traits(TypeId(byte));
        EXPECT_TRUE(t.separator);
        EXPECT_TRUE(t.name.empty());
        EXPECT_FALSE(isSeparator(TypeId(byte)));
        EXPECT_EQ(typeAboveSeparator(TypeId(byte)), TypeId(byte));
        EXPECT_EQ(t.defaults.MaxIter, 0);
        EXPECT_EQ(t.defaults.Delta, 20);
    }
}

// What the catalogue says a type offers, the kernels must have; what it says a selector does not
// choose, the kernels must ignore.
TEST(Catalogue, OfferedChoicesHaveKernels)
{
    for (int index = 0; index < TypeCount; ++index) {
        const TypeId type = TypeId(index);
        const TypeTraits& t = traits(type);
        SCOPED_TRACE(std::string(t.name) + " (" + std::to_string(index) + ")");
        if (t.separator) {
            EXPECT_EQ(kernels::levelKernel(type, 0, 0, 3, 0), nullptr);
            continue;
        }
        for (int bail = 0; bail <= t.defaults.MaxBailout; ++bail)
            EXPECT_NE(kernels::levelKernel(type, 0, 0, 3, kernelBailout(type, bail)), nullptr) << "bail-out " << bail;
        for (int alg = AlgDistance; alg <= t.defaults.MaxAlgorithm; ++alg)
            EXPECT_NE(kernels::algorithmKernel(type, alg, 0), nullptr) << "algorithm " << alg;
        if (t.defaults.MaxAlgorithm == AlgLevel) {
            EXPECT_EQ(kernels::algorithmKernel(type, AlgDistance, 0), nullptr);
        }

        // An unknown formula or function leaves only the types that select by it without a kernel.
        EXPECT_EQ(kernels::levelKernel(type, FormulaCount, 0, 3, 0) == nullptr, t.hasFormula);
        EXPECT_EQ(kernels::levelKernel(type, 0, FunctionCount, 3, 0) == nullptr, t.hasFunction);
        for (int formula = 0; formula < FormulaCount && t.hasFormula; ++formula)
            EXPECT_NE(kernels::levelKernel(type, formula, 0, 3, 0), nullptr) << "formula " << formula;
        for (int function = 0; function < FunctionCount && t.hasFunction; ++function)
            EXPECT_NE(kernels::levelKernel(type, 0, function, 3, 0), nullptr) << "function " << function;
        for (int p = FieldLimits.NewtonP.min; p <= FieldLimits.NewtonP.max; ++p) {
            const KernelFn k = kernels::levelKernel(type, 0, 0, p, 0);
            EXPECT_NE(k, nullptr) << "p " << p;
            // Only Newton's kernel depends on p.
            if (!t.hasNewtonP) {
                EXPECT_EQ(k, kernels::levelKernel(type, 0, 0, FieldLimits.NewtonP.min, 0)) << "p " << p;
            }
        }
        if (t.hasNewtonP) {
            EXPECT_NE(kernels::levelKernel(type, 0, 0, 3, 0), kernels::levelKernel(type, 0, 0, 4, 0));
        }
    }
}

TEST(Catalogue, KernelBailoutTakesUnknownIndicesAsMod)
{
    const struct {
        TypeId type;
        int bailout, expected;
    } rows[] = {
        {TypeId::Newton, 2, 2},      {TypeId::Newton, 3, BailMod},       {TypeId::Newton, 5, BailMod},
        {TypeId::Mandelbrot, 5, BailOr}, {TypeId::Mandelbrot, 6, BailMod}, {TypeId::Magnetism, 3, BailEpsilon},
        {TypeId::MandelbrotZC, 5, BailOr},  // the fixed kernels ignore it, but it is a known test
        {TypeId::Julia, 255, BailMod},   {TypeId::Julia, -1, BailMod},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(typeName(row.type)) + " bail-out " + std::to_string(row.bailout));
        EXPECT_EQ(kernelBailout(row.type, row.bailout), row.expected);
    }
}

// The selectors a type does not use never ask for a new computation; those it uses do.
TEST(Catalogue, ImageParamsChangedFollowsTheTypesSelectors)
{
    const struct {
        const char* what;
        std::function<void(FractalParams&)> edit;
        std::initializer_list<int> types;  // the types for which the edit asks for a new image
    } rows[] = {
        {"ParamCr", [](FractalParams& p) { p.ParamCr += 0.125; }, {1, 4, 7, 11, 14, 15, 17}},
        {"ParamCi", [](FractalParams& p) { p.ParamCi += 0.125; }, {1, 4, 7, 11, 14, 15, 17}},
        {"FunctionIndex", [](FractalParams& p) { p.FunctionIndex = FnCosh; }, {6, 7}},
        {"NewtonP", [](FractalParams& p) { p.NewtonP = 7; }, {13}},
    };
    for (const auto& row : rows) {
        for (int index = 0; index < TypeCount; ++index) {
            if (!isValidType(index))
                continue;
            SCOPED_TRACE(std::string(row.what) + ", type " + std::to_string(index));
            document::TFractal f;
            f.ApplyTypeDefaults(TypeId(index));
            f.CommitImageParams();
            ASSERT_FALSE(f.ImageParamsChanged());
            row.edit(f.Params);
            EXPECT_EQ(f.ImageParamsChanged(), in(index, row.types));
        }
    }
}

TEST(Catalogue, ZoomAndStepAreEachOthersInverse)
{
    // The dialog's scale list runs from 1 to 1e12: steps 0.005 down to 5e-15.
    EXPECT_EQ(stepFromZoom(1), 0.005);
    EXPECT_EQ(stepFromZoom(1e12), 5e-15);
    EXPECT_EQ(zoomFromStep(0.01), 0.5);
    document::TFractal f;
    f.Params.Step = 0.0025;
    EXPECT_EQ(f.zoom(), 2.0);
}
