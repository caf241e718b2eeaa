// vorex-cli: computes, inspects and exports fractal documents without a display.
#include <cstdio>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "cli/Args.h"
#include "cli/BenchCommand.h"
#include "cli/ColourOptions.h"
#include "cli/Commands.h"
#include "cli/ExportCommand.h"
#include "cli/PosterCommand.h"
#include "cli/View3DCommand.h"

namespace {

const char* const Usage =
    "usage: vorex-cli COMMAND ...\n"
    "\n"
    "  new [options] -o FILE.mbt      a new document with the type's defaults, computed and saved\n"
    "      --type N  --formula N  --function N  --algorithm N  --iter N  --escape LEVEL\n"
    "      --bailout N  --newton-p N  --periodicity on|off  --size WxH  --depth 8|24\n"
    "      --centre X,Y  --step S | --zoom Z  --param CR,CI  --pert ZR,ZI  --delta N  --comment TEXT\n"
    "      and the colour options below\n"
    "  compute FILE.mbt [-o OUT.mbt] [--from-start] [--touch-up L,T,R,B --touch-up-iter N]\n"
    "                                 resume an interrupted computation, or touch up a rectangle\n"
    "  info FILE.mbt                  the document's variables, size, depth, resume row and comment\n"
    "  bench [--threads N] [--isa scalar|sse2|avx2|avx512] [--scene NAME]... [--repeat N] [--digest]\n"
    "                                 times named scenes on the serial driver and the parallel engine;\n"
    "                                 --digest: computes each once and prints digests of the values\n"
    "%s"
    "%s"
    "%s"
    "%s"
    "\n"
    "  --quiet                        no progress line on standard error\n"
    "  --threads N                    computing threads (default: one per core)\n"
    "Exit status: 0 done, 1 a document, palette or table file could not be read or written,\n"
    "2 a bad command line, 130 stopped by Ctrl-C (a computation then saves what it has, to resume later).\n";

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
        std::fprintf(args.empty() ? stderr : stdout, Usage, cli::ExportUsage, cli::View3DUsage, cli::PosterUsage,
                     cli::ColourUsage);
        return args.empty() ? cli::ExitUsage : cli::ExitOk;
    }
    const std::string command = args[0];
    args.erase(args.begin());
    try {
        if (command == "new")
            return cli::runNew(args);
        if (command == "compute")
            return cli::runCompute(args);
        if (command == "info")
            return cli::runInfo(args);
        if (command == "bench")
            return cli::runBench(args);
        if (command == "export")
            return cli::runExportCommand(args);
        if (command == "render3d")
            return cli::runRender3DCommand(args);
        if (command == "filter")
            return cli::runFilterCommand(args);
        if (command == "poster")
            return cli::runPosterCommand(args);
        throw cli::UsageError(command + ": unknown command (new, compute, info, export, render3d, filter, poster, bench)");
    } catch (const cli::UsageError& e) {
        std::fprintf(stderr, "vorex-cli: %s\n", e.what());
        return cli::ExitUsage;
    } catch (const std::bad_alloc&) {
        std::fprintf(stderr, "vorex-cli: not enough memory\n");
        return cli::ExitFailure;
    }
}
