#include <gtest/gtest.h>

#include "document/Fractal.h"
#include "storage/VariablesSummary.h"

using namespace engine;
using document::TFractal;

namespace {

FractalParams defaultsOf(int type, int algorithm = AlgLevel)
{
    TFractal f;
    f.Params.Algorithm = uint8_t(algorithm);
    f.ApplyTypeDefaults(TypeId(type));
    f.Params.Width = 320;
    f.Params.Height = 240;
    return f.Params;
}

}  // namespace

// The expected texts are written from the variables dialog's copy format, line by line.
TEST(VariablesSummary, JuliaWithLevel)
{
    EXPECT_EQ(storage::VariablesSummary(defaultsOf(1), 0),
              "Fractal:\tJulia\r\n"
              "Algorithm:\tLevel\r\n"
              "Image Size: \t320x240\r\n"
              "X Center:\t0\r\n"
              "Y Center:\t0\r\n"
              "Calculation step:\t1.000000000000000E-0002\r\n"
              "Scale:   \t5.000000000000000E-0001\r\n"
              "Iterations:\t250\r\n"
              "Escape level:\t2\r\n"
              "Julia Cr: \t0.09\r\n"
              "Julia Ci:\t0.65\r\n");
}

TEST(VariablesSummary, LinesDependOnTypeAndAlgorithm)
{
    const struct {
        const char* name;
        FractalParams params;
        int language;
        std::vector<std::string> present, absent;
    } cases[] = {
        // Type 3 edits a perturbation in the dialog but never copies it.
        {"ZC(1-Z) with a perturbation", [] { auto p = defaultsOf(3); p.PertZr = 0.5; return p; }(), 0,
         {"Escape level:\t2\r\n"}, {"Pertub.Zr", "Julia"}},
        {"fn(Z)C sin", defaultsOf(6), 0,
         {"Function fn:\tsin\r\n", "Pertub.Zr: \t0.00001\r\n", "Pertub.Zi:\t0\r\n"}, {"Escape level"}},
        {"Newton degree", [] { auto p = defaultsOf(13); p.NewtonP = 5; return p; }(), 0,
         {"Fractal:\tNewton^5\r\n"}, {"Escape level", "Pertub"}},
        {"Distance has Delta and no level", defaultsOf(0, AlgDistance), 0,
         {"Delta:  \t10\r\n", "Algorithm:\tDistance\r\n"}, {"Escape level"}},
        {"French labels", defaultsOf(0, AlgBinary), 1,
         {"Fractale:\tMandelbrot\r\n", "Algorithme:\tBinaire\r\n", "Seuil sortie:\t20\r\n", "Taille:   \t320x240\r\n"},
         {"Delta"}},
        {"Volterra-Lotka", defaultsOf(17), 0, {"Voltera h: \t0.739\r\n", "Voltera k:\t0.739\r\n", "Escape level:\t256\r\n"}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = storage::VariablesSummary(c.params, c.language);
        for (const std::string& s : c.present)
            EXPECT_NE(text.find(s), std::string::npos) << s << "\n" << text;
        for (const std::string& s : c.absent)
            EXPECT_EQ(text.find(s), std::string::npos) << s << "\n" << text;
        EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    }
}
