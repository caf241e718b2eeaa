#include "cli/Documents.h"

#include <cstdio>

#include "cli/Session.h"
#include "engine/ComputeDriver.h"
#include "document/Computation.h"
#include "engine/ParallelEngine.h"
#include "storage/Document.h"

namespace cli {

constexpr int ExitInterrupted = 130;  // the shell's convention for a command ended by Ctrl-C

bool parseCommonOption(const std::string& opt, Args& args, CommonOptions& out)
{
    if (opt == "--quiet" || opt == "-q") {
        out.quiet = true;
        return true;
    }
    if (opt == "--threads") {
        out.threads = int(args.integer(opt, 1, 1024));
        return true;
    }
    return false;
}

bool loadOrReport(document::TFractal& f, const std::string& path, storage::ImageParts parts)
{
    storage::LoadOptions options;
    options.parts = parts;
    const storage::LoadResult result = storage::LoadDocument(f, path, nullptr, options);
    switch (result) {
    case storage::LoadResult::Ok:
        return true;
    case storage::LoadResult::NotEnoughMemory:
        std::fprintf(stderr, "%s: Not enough memory to open file\n", path.c_str());
        return false;
    default:
        std::fprintf(stderr, "%s: Error reading file\n", path.c_str());
        return false;
    }
}

int computeAndSave(document::TFractal& f, const ComputeJob& job, const std::string& output, const CommonOptions& common)
{
    {
        InterruptGuard guard(f);
        ProgressLine progress(!job.label.empty() ? job.label : job.touchUp ? "Touching up" : "Computing", common.quiet);
        const engine::ParallelEngine engine(common.threads);
        if (job.touchUp) {
            f.ZoomRect = *job.touchUp;
            f.RetoucheIter = job.touchUpIter;
            const engine::RetoucheResult r = document::Retouche(f, &progress, engine);
            if (!r.ok) {
                std::fprintf(stderr, "%s\n", r.message.c_str());
                return ExitFailure;
            }
        } else {
            document::ComputeCommand(f, job.fromStart, &progress, engine);
        }
    }
    const bool interrupted = InterruptGuard::interrupted();
    if (interrupted && !job.saveWhenInterrupted) {
        std::fprintf(stderr, "Stopped; nothing was written.\n");
        return ExitInterrupted;
    }
    if (interrupted && !job.touchUp && f.ResumeLine == 0)
        f.ResumeLine = f.Params.Height;
    if (!storage::SaveDocument(f, output)) {
        std::fprintf(stderr, "%s: Error writing file\n", output.c_str());
        return ExitFailure;
    }
    if (interrupted) {
        if (job.touchUp)
            std::fprintf(stderr, "Touch-up stopped; saved %s.\n", output.c_str());
        else
            std::fprintf(stderr, "Stopped at row %d; saved %s. Resume with: vorex-cli compute %s\n",
                         f.ResumeLine >= f.Params.Height ? 0 : int(f.ResumeLine), output.c_str(), output.c_str());
        return ExitInterrupted;
    }
    return ExitOk;
}

}  // namespace cli
