// Out of memory in each allocation step of a document: the workspace allocation and the touch-up.
// The allocation-failure seam (engine/AllocationFault.h) makes the chosen allocation throw
// std::bad_alloc; each case checks the message, that the document is still sound afterwards, and
// that a new allocation or computation works. Under the sanitizer build any use of a freed or
// too-short buffer on the way fails the test too.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "document/Computation.h"
#include "colour/ColorTable24.h"
#include "engine/AllocationFault.h"
#include "engine/ComputeDriver.h"
#include "engine/ParallelEngine.h"
#include "storage/Workspace.h"

namespace {

using engine::AllocationStep;
using engine::PixelFormat24;
using engine::PixelFormat8;

constexpr int Width = 48, Height = 32;

// A computed document of Width x Height pixels over the whole default Mandelbrot region.
void makeDocument(document::TFractal& f, uint8_t pixelFormat, uint8_t algorithm, uint16_t maxIter)
{
    storage::ResetToDefaults(f);
    f.Params.Algorithm = algorithm;
    f.Params.MaxIter = maxIter;
    f.Params.Step *= 640.0 / Width;
    f.UpdateCorners();
    ASSERT_TRUE(storage::AllocImage(f, Width, Height, pixelFormat, true).ok);
    ASSERT_EQ(document::ComputeCommand(f, true, nullptr), engine::ComputeEnd::Completed);
}

std::vector<uint16_t> values(const document::TFractal& f)
{
    std::vector<uint16_t> v;
    for (int r = 0; r < f.Data.height(); ++r)
        v.insert(v.end(), f.Data.row(r), f.Data.row(r) + f.Data.width());
    return v;
}

// The bitmap never claims more pixels than its buffer holds, and the kernel state points into the
// orbit arrays (or nowhere), never into memory they gave back.
void expectConsistent(const document::TFractal& f)
{
    EXPECT_GE(f.Bitmap.Pixels.size(),
              size_t(f.Bitmap.Width) * size_t(f.Bitmap.Height) * size_t(f.Bitmap.bytesPerPixel()));
    EXPECT_TRUE(f.State.XOrbit == nullptr || f.State.XOrbit == f.XOrbit.data());
    EXPECT_TRUE(f.State.YOrbit == nullptr || f.State.YOrbit == f.YOrbit.data());
}

struct AllocCase {
    const char* what;
    AllocationStep step;
    int skip;  // checks of the step that succeed before the failing one
    uint8_t pixelFormat;
    uint8_t algorithm;
    const char* message;
};

const AllocCase allocCases[] = {
    {"bitmap", AllocationStep::Bitmap, 0, PixelFormat8, engine::AlgDistance, storage::NoMemoryForBitmap},
    {"24-bit bitmap", AllocationStep::Bitmap, 0, PixelFormat24, engine::AlgLevel, storage::NoMemoryForBitmap},
    {"value array", AllocationStep::Workspace, 0, PixelFormat8, engine::AlgDistance, storage::NoMemoryForWorkspace},
    {"first orbit array", AllocationStep::Orbits, 0, PixelFormat8, engine::AlgDistance, storage::NoMemoryForOrbits},
    {"second orbit array", AllocationStep::Orbits, 1, PixelFormat8, engine::AlgColorDistance,
     storage::NoMemoryForOrbits},
    {"red table", AllocationStep::ColourTables, 0, PixelFormat24, engine::AlgLevel, storage::NoMemoryColorSpace},
    {"blue table", AllocationStep::ColourTables, 2, PixelFormat24, engine::AlgDistance,
     storage::NoMemoryColorSpace},
};

TEST(AllocationFailureTest, EachWorkspaceStepReportsItsMessageAndLeavesASoundDocument)
{
    for (const AllocCase& c : allocCases) {
        for (const bool clear : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (clear ? ", new document" : ", resized document"));
            document::TFractal f;
            makeDocument(f, c.pixelFormat, c.algorithm, 40);
            const std::vector<uint16_t> before = values(f);
            f.FileName = "kept";
            f.ResumeLine = 5;

            // The variables dialog's order: new parameters first, then the workspace for them.
            f.Params.MaxIter = 80;
            storage::AllocResult r;
            {
                engine::ScopedAllocationFailure fault(c.step, c.skip);
                r = storage::AllocImage(f, 64, 40, c.pixelFormat, clear);
                EXPECT_FALSE(engine::allocationFailureArmed()) << "the step was never reached";
            }
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.message, c.message);
            expectConsistent(f);

            // What each step leaves, as AllocImage documents it.
            switch (c.step) {
            case AllocationStep::Bitmap:
                EXPECT_EQ(f.Bitmap.Width, 0);
                EXPECT_EQ(f.Bitmap.Height, 0);
                EXPECT_TRUE(f.Bitmap.Pixels.empty());
                EXPECT_EQ(values(f), before);  // the later steps did not run
                break;
            case AllocationStep::Workspace:
                EXPECT_EQ(f.Bitmap.Width, 64);
                EXPECT_EQ(f.Bitmap.Height, 40);
                if (clear) {
                    EXPECT_EQ(f.Data.width() * f.Data.height(), 0);  // given back, nothing new
                } else {
                    EXPECT_EQ(f.Data.width(), Width);
                    EXPECT_EQ(values(f), before);
                }
                break;
            case AllocationStep::Orbits:
                ASSERT_EQ(f.Data.width(), 64);
                ASSERT_EQ(f.Data.height(), 40);
                EXPECT_LE(f.XOrbit.size(), 81u);
                EXPECT_LE(f.YOrbit.size(), 81u);
                break;
            case AllocationStep::ColourTables:
                // No table half made: all three are empty, and the last steps still ran.
                EXPECT_TRUE(f.TableR.empty() && f.TableG.empty() && f.TableB.empty());
                EXPECT_EQ(f.Bitmap.Width, 64);
                EXPECT_EQ(f.Data.width(), 64);
                EXPECT_EQ(f.FileName, clear ? "" : "kept");
                EXPECT_EQ(f.ResumeLine, clear ? 0 : 5);
                break;
            case AllocationStep::Markers2D:
            case AllocationStep::Markers3D:
                ADD_FAILURE() << "AllocImage has no marker step";
                break;
            }

            // Whatever is left can be computed over without touching memory it does not own...
            f.Run.start();
            const engine::ComputeEnd end = document::ComputeCommand(f, true, nullptr);
            EXPECT_NE(end, engine::ComputeEnd::Stopped);
            expectConsistent(f);

            // ...and the caller's recovery (a default document, then the size again) works.
            ASSERT_TRUE(storage::ResetToDefaults(f).ok);
            EXPECT_EQ(f.Bitmap.Width, 1);
            document::TFractal fresh;
            makeDocument(fresh, c.pixelFormat, c.algorithm, 40);
            makeDocument(f, c.pixelFormat, c.algorithm, 40);
            EXPECT_EQ(values(f), values(fresh));
            EXPECT_EQ(f.Bitmap.Pixels, fresh.Bitmap.Pixels);
        }
    }
}

struct TouchUpCase {
    const char* what;
    AllocationStep step;
    int skip;
    uint8_t pixelFormat;
    uint8_t algorithm;
    const char* message;
};

const TouchUpCase touchUpCases[] = {
    {"first orbit array", AllocationStep::Orbits, 0, PixelFormat8, engine::AlgDistance, "No Memory for Orbits"},
    {"second orbit array", AllocationStep::Orbits, 1, PixelFormat24, engine::AlgColorDistance,
     "No Memory for Orbits"},
    {"red table", AllocationStep::ColourTables, 0, PixelFormat24, engine::AlgLevel, "No Memory Color space"},
    {"blue table", AllocationStep::ColourTables, 2, PixelFormat24, engine::AlgLevel, "No Memory Color space"},
    {"green table after the orbits grew", AllocationStep::ColourTables, 1, PixelFormat24, engine::AlgDistance,
     "No Memory Color space"},
};

TEST(AllocationFailureTest, RefusedTouchUpChangesNothingAndTheNextOneWorks)
{
    constexpr uint16_t Low = 30, High = 300;
    using Runner = engine::RetoucheResult (*)(document::TFractal&);
    const struct {
        const char* name;
        Runner run;
    } engines[] = {
        {"serial driver", [](document::TFractal& f) { return document::Retouche(f, nullptr); }},
        {"parallel engine", [](document::TFractal& f) { return document::Retouche(f, nullptr, engine::ParallelEngine(2)); }},
    };
    for (const auto& e : engines) {
        for (const TouchUpCase& c : touchUpCases) {
            SCOPED_TRACE(std::string(e.name) + ", " + c.what);
            document::TFractal f;
            makeDocument(f, c.pixelFormat, c.algorithm, Low);
            const std::vector<uint16_t> data = values(f);
            const std::vector<uint8_t> pixels = f.Bitmap.Pixels;
            const std::vector<double> xOrbit = f.XOrbit, yOrbit = f.YOrbit;
            const std::vector<uint8_t> red = f.TableR, green = f.TableG, blue = f.TableB;
            const colour::ColorTable24 records = f.ColorTable24;

            f.RetoucheIter = High;
            f.ZoomRect = {0, 0, Width - 1, Height - 1};
            engine::RetoucheResult r;
            {
                engine::ScopedAllocationFailure fault(c.step, c.skip);
                r = e.run(f);
                EXPECT_FALSE(engine::allocationFailureArmed()) << "the step was never reached";
            }
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.message, c.message);
            EXPECT_EQ(f.Params.MaxIter, Low);
            EXPECT_EQ(f.ImageParams.MaxIter, Low);
            EXPECT_EQ(f.XOrbit, xOrbit);
            EXPECT_EQ(f.YOrbit, yOrbit);
            EXPECT_EQ(f.TableR, red);
            EXPECT_EQ(f.TableG, green);
            EXPECT_EQ(f.TableB, blue);
            EXPECT_EQ(f.ColorTable24.records[colour::ColorTable24::EndRecord].position,
                      records.records[colour::ColorTable24::EndRecord].position);
            EXPECT_EQ(f.ColorTable24.records[colour::ColorTable24::LeadOutRecord].position,
                      records.records[colour::ColorTable24::LeadOutRecord].position);
            EXPECT_EQ(values(f), data);
            EXPECT_EQ(f.Bitmap.Pixels, pixels);
            EXPECT_FALSE(f.Retouching);
            expectConsistent(f);

            // The same touch-up again, with memory to spare, gives the full computation at High.
            document::TFractal reference;
            makeDocument(reference, c.pixelFormat, c.algorithm, High);
            f.Run.start();
            r = e.run(f);
            EXPECT_TRUE(r.ok) << r.message;
            EXPECT_EQ(r.end, engine::ComputeEnd::Completed);
            EXPECT_EQ(f.Params.MaxIter, High);
            EXPECT_EQ(values(f), values(reference));
            if (engine::usesOrbitArrays(c.algorithm)) {
                EXPECT_EQ(f.XOrbit.size(), size_t(High) + 1);
            }
            if (c.pixelFormat == PixelFormat24) {
                EXPECT_EQ(f.TableR.size(), size_t(High) + 1);
            }
        }
    }
}

TEST(AllocationFailureTest, TheSeamCountsOnlyItsOwnStepAndFiresOnce)
{
    document::TFractal f;
    makeDocument(f, PixelFormat24, engine::AlgDistance, 20);
    // Armed for the third colour table: the bitmap, Data and orbits pass, the tables count 0, 1, 2.
    engine::ScopedAllocationFailure fault(AllocationStep::ColourTables, 2);
    f.Params.MaxIter = 25;
    EXPECT_EQ(storage::AllocImage(f, 20, 10, PixelFormat24, false).message, storage::NoMemoryColorSpace);
    // Fired once: the same allocation now succeeds.
    EXPECT_TRUE(storage::AllocImage(f, 20, 10, PixelFormat24, false).ok);
    EXPECT_EQ(f.TableB.size(), 26u);
}

}  // namespace
