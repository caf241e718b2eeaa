// Fuzzes the vorex-cli option parser. The input is a command line, one word per line; its first word
// is the command. Words naming a path outside the current directory are dropped and the process works
// in an empty directory, so no document is ever found: every command ends after its options have been
// read, on a usage error or on "Error reading file", and nothing is computed or written. Without a
// "-o" option "new" always stops with a usage error once all of its options are read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

#include "cli/Args.h"
#include "cli/Commands.h"
#include "cli/ExportCommand.h"

namespace {

// Done at the first input rather than at start-up, so that libFuzzer's own files (the job log)
// stay in the directory it was started in.
void enterEmptyDirectory()
{
    static const bool entered = [] {
        char pattern[] = "/tmp/vorex-fuzz-cli-XXXXXX";
        const char* dir = mkdtemp(pattern);
        return dir && chdir(dir) == 0;
    }();
    if (!entered)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    enterEmptyDirectory();
    std::vector<std::string> words;
    std::string word;
    for (size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == '\n') {
            words.push_back(word);
            word.clear();
        } else {
            word.push_back(char(data[i]));
        }
    }
    const std::string command = words.front();
    words.erase(words.begin());
    std::vector<std::string> args;
    for (const std::string& w : words) {
        if (w.find('/') != std::string::npos)
            continue;
        if (command == "new" && w == "-o")
            continue;
        args.push_back(w);
    }

    try {
        if (command == "new")
            cli::runNew(args);
        else if (command == "compute")
            cli::runCompute(args);
        else if (command == "info")
            cli::runInfo(args);
        else if (command == "export")
            cli::runExportCommand(args);
        else {
            // The typed readers on their own.
            cli::Args a(args);
            while (!a.done()) {
                const std::string opt = a.take();
                switch (opt.size() % 6) {
                case 0: a.integer(opt, -1000, 1000); break;
                case 1: a.real(opt, -1e10, 1e10); break;
                case 2: a.realPair(opt); break;
                case 3: a.sizePair(opt, 'x', 1, 20000); break;
                case 4: a.integerList(opt, 4); break;
                default: a.onOff(opt); break;
                }
            }
        }
    } catch (const cli::UsageError&) {
    }
    return 0;
}
