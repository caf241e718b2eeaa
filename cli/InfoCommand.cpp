#include <cstdio>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/Documents.h"
#include "storage/VariablesSummary.h"

namespace cli {

int runInfo(const std::vector<std::string>& args)
{
    if (args.size() != 1 || (!args[0].empty() && args[0][0] == '-'))
        throw UsageError("info: expects one document FILE.mbt");
    document::TFractal f;
    if (!loadOrReport(f, args[0]))
        return ExitFailure;
    // The clipboard form ends its lines with CR LF; a terminal wants LF.
    for (char c : storage::VariablesSummary(f.Params, /*language=*/0))
        if (c != '\r')
            std::fputc(c, stdout);
    std::printf("Size:\t%dx%d\n", int(f.Params.Width), int(f.Params.Height));
    std::printf("Depth:\t%s\n", f.PixelFormat == engine::PixelFormat24 ? "24 bits" : "8 bits");
    std::printf("ResumeLine:\t%d\n", int(f.ResumeLine));
    std::printf("UniformIter:\t%d\n", f.UniformIter ? 1 : 0);
    std::printf("Comment:\t%s\n", f.Comment.c_str());
    return ExitOk;
}

}  // namespace cli
