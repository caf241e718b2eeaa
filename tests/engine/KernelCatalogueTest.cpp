// Every combination the variables dialog can select computes a small image with values in the range of
// its algorithm; the combinations it cannot select fall back to the type's Level kernel.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "EngineTestUtil.h"

using namespace engine;
using document::TFractal;
using enginetest::Scene;

namespace {

// The values an algorithm may store (from the description of what a pixel value means).
bool inRange(int algorithm, int type, int maxIter, uint16_t v)
{
    if (v == Inside)
        return true;
    switch (algorithm) {
    case AlgLevel:
    case AlgLevelDistance:
    case AlgPotential:
        // Level counts run 1..MaxIter-1; Potential 0..MaxIter-1.
        return v <= maxIter - 1 && (v >= 1 || algorithm == AlgPotential);
    case AlgDistance: return v == 255 || (type == 9 && v == 1);
    case AlgBinary: return v == 0 || v == 255 || (type == 9 && v == 1);
    case AlgColorDistance: return v <= 65534;
    default: return false;
    }
}

// The selectors of a type: formulas for type 0, functions for 6 and 7, degrees for 13, else one.
std::vector<int> selectors(int type)
{
    if (type == 0 || type == 6 || type == 7)
        return {0, 1, 2, 3, 4};
    if (type == 13)
        return {3, 4, 5, 6, 7, 8, 9, 10};
    return {0};
}

Scene sceneFor(int type, int selector, int algorithm, int bailout)
{
    Scene s;
    s.type = type;
    s.algorithm = algorithm;
    s.bailout = bailout;
    s.width = 20;
    s.height = 15;
    s.formula = type == 0 ? selector : 0;
    s.function = (type == 6 || type == 7) ? selector : 0;
    s.newtonP = type == 13 ? selector : 3;
    s.periodicity = true;
    return s;
}

}  // namespace

TEST(KernelCatalogue, EverySelectableCombinationComputesValuesInRange)
{
    int combinations = 0;
    std::vector<testing::Message> uniform;  // images of one value: suspicious for a default view
    for (int type = 0; type < TypeCount; ++type) {
        if (!isValidType(type))
            continue;
        const TypeDefaults& d = typeDefaults(TypeId(type));
        for (int selector : selectors(type)) {
            // Potential is offered by no type, but documents bring it with the Mandelbrot type.
            const int maxAlg = type == 0 ? int(AlgPotential) : int(d.MaxAlgorithm);
            for (int alg = 0; alg <= maxAlg; ++alg) {
                for (int bail = 0; bail <= d.MaxBailout; ++bail) {
                    SCOPED_TRACE(testing::Message() << "type " << type << " selector " << selector << " algorithm "
                                                    << alg << " bail-out " << bail);
                    TFractal f;
                    enginetest::configure(f, sceneFor(type, selector, alg, bail));
                    ASSERT_EQ(enginetest::computeAll(f), ComputeEnd::Completed);
                    std::set<uint16_t> distinct;
                    for (uint16_t v : enginetest::values(f)) {
                        ASSERT_TRUE(inRange(alg, type, f.Params.MaxIter, v)) << "value " << v;
                        distinct.insert(v);
                    }
                    ++combinations;
                    if (distinct.size() < 2)
                        uniform.push_back(testing::Message() << type << "/" << selector << "/" << alg << "/" << bail);
                }
            }
        }
    }
    EXPECT_GT(combinations, 100);
    for (const auto& m : uniform)
        ADD_FAILURE() << "uniform image for type/selector/algorithm/bail-out " << m;
}

TEST(KernelCatalogue, CombinationsWithoutAKernelUseTheLevelKernel)
{
    struct Case {
        const char* what;
        int type, selector, algorithm;
    } cases[] = {
        {"Julia with Potential", 1, 0, AlgPotential},
        {"Newton with Distance", 13, 3, AlgDistance},
        {"Newton p 7 with Binary", 13, 7, AlgBinary},
        {"Mandelbrot ZC(1-Z) with Level+Distance", 3, 0, AlgLevelDistance},
        {"Julia fn(Z)C cosh with Color Distance", 7, FnCosh, AlgColorDistance},
        {"Z(1/C) with Color Distance", 9, 0, AlgColorDistance},
        {"Z(1/C) with Potential", 9, 0, AlgPotential},
        {"Magnetism with Binary", 11, 0, AlgBinary},
        {"Spider with Distance", 16, 0, AlgDistance},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TFractal level, other;
        enginetest::configure(level, sceneFor(c.type, c.selector, AlgLevel, 0));
        enginetest::configure(other, sceneFor(c.type, c.selector, c.algorithm, 0));
        other.Params.EscapeLevelSq = level.Params.EscapeLevelSq;
        ASSERT_EQ(enginetest::computeAll(level), ComputeEnd::Completed);
        ASSERT_EQ(enginetest::computeAll(other), ComputeEnd::Completed);
        EXPECT_EQ(enginetest::values(other), enginetest::values(level));
        // A stale kernel must not survive: select something else first, then the combination.
        SelectKernel(level);
        EXPECT_EQ(other.Kernel, level.Kernel);
    }
}

TEST(KernelCatalogue, NewtonDegreeOutOfRangeIsClampedForComputing)
{
    struct Case {
        int asked, used;
    } cases[] = {{11, 10}, {40, 10}, {2, 3}, {-5, 3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        TFractal asked, used;
        enginetest::configure(asked, sceneFor(13, c.asked, AlgLevel, 0));
        enginetest::configure(used, sceneFor(13, c.used, AlgLevel, 0));
        enginetest::computeAll(asked);
        enginetest::computeAll(used);
        EXPECT_EQ(enginetest::values(asked), enginetest::values(used));
        EXPECT_EQ(asked.Inputs.NewtonP, c.used);
    }
}

TEST(KernelCatalogue, UnknownSelectorsSelectNothing)
{
    struct Case {
        const char* what;
        int type, formula, function;
    } cases[] = {
        {"separator 2", 2, 0, 0},  {"separator 5", 5, 0, 0},  {"separator 8", 8, 0, 0},
        {"separator 10", 10, 0, 0}, {"type 18", 18, 0, 0},    {"type 255", 255, 0, 0},
        {"formula 5", 0, 5, 0},    {"function 5", 6, 0, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TFractal f;
        enginetest::configure(f, sceneFor(0, 0, AlgLevel, 0));
        SelectKernel(f);
        ASSERT_NE(f.Kernel, nullptr);
        f.Params.FractalType = TypeId(c.type);
        f.Params.Formula = uint8_t(c.formula);
        f.Params.FunctionIndex = uint8_t(c.function);
        SelectKernel(f);
        EXPECT_EQ(f.Kernel, nullptr);
    }
}

TEST(KernelCatalogue, SelectKernelLoadsTheInputs)
{
    TFractal f;
    enginetest::configure(f, sceneFor(1, 0, AlgDistance, 2));
    f.Params.ParamCr = 0.25;
    f.Params.ParamCi = -0.5;
    f.Params.PertZr = 0.125;
    f.Params.PertZi = 1.5;
    f.Params.Delta = 250;
    f.Params.Step = 0.004;
    f.Params.MaxIter = 321;
    f.Params.EscapeLevelSq = 144;
    f.Params.NewtonP = 7;
    f.Periodicity = true;
    f.XOrbit.assign(322, 0.0);
    f.YOrbit.assign(322, 0.0);
    f.State.PrevInside = true;
    SelectKernel(f);
    EXPECT_EQ(f.Inputs.ParamCr, 0.25);
    EXPECT_EQ(f.Inputs.ParamCi, -0.5);
    EXPECT_EQ(f.Inputs.PertZr, 0.125);
    EXPECT_EQ(f.Inputs.PertZi, 1.5);
    EXPECT_EQ(f.Inputs.Step, 0.004);
    EXPECT_EQ(f.Inputs.DistThreshold, 250 / 500.0 * 0.004);
    EXPECT_EQ(f.Inputs.MaxIter, 321);
    EXPECT_EQ(f.Inputs.L, 144);
    EXPECT_EQ(f.Inputs.NewtonP, 7);
    EXPECT_EQ(f.Inputs.Bailout, 2);
    EXPECT_TRUE(f.Inputs.Periodicity);
    EXPECT_FALSE(f.State.PrevInside);
    EXPECT_EQ(f.State.XOrbit, f.XOrbit.data());
    EXPECT_EQ(f.State.YOrbit, f.YOrbit.data());
    f.XOrbit.clear();
    f.YOrbit.clear();
    f.Params.Algorithm = AlgLevel;
    SelectKernel(f);
    EXPECT_EQ(f.State.XOrbit, nullptr);
    EXPECT_EQ(f.State.YOrbit, nullptr);
}
