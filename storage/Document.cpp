#include "storage/Document.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include <pwd.h>
#include <unistd.h>

#include "storage/AtomicFile.h"
#include "storage/Cp1252.h"
#include "storage/DocumentData.h"
#include "storage/DocumentHeader.h"
#include "storage/PaletteFiles.h"
#include "storage/SystemMemory.h"
#include "storage/Workspace.h"

namespace storage {
namespace {

struct FileClose {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::string lookUpUserName()
{
    std::string name;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_name)
        name = pw->pw_name;
    if (name.empty())
        if (const char* env = std::getenv("USER"))
            name = env;
    if (name.empty())
        if (const char* env = std::getenv("LOGNAME"))
            name = env;
    // 20 characters as the file will hold them; cut on a character, never inside one.
    const std::string stored = utf8ToCp1252(name);
    if (stored.size() > 20)
        name = cp1252ToUtf8(stored.substr(0, 20));
    return name;
}

}  // namespace

const std::string& DefaultUserName()
{
    static const std::string name = lookUpUserName();
    return name;
}

std::string DocumentBaseName(const std::string& path)
{
    return std::filesystem::path(path).stem().string();
}

bool SaveDocument(document::TFractal& f, const std::string& path, const SaveContext& context)
{
    HeaderStamp stamp;
    stamp.savedAt = context.savedAt ? *context.savedAt : currentFileDate();
    stamp.userName = context.userName ? *context.userName : DefaultUserName();

    AtomicFile file(path);
    const bool ok = WriteHeader(file, f, stamp) && WriteData(file, f, context.observer) && file.commit();
    f.Modified = !ok;
    if (ok)
        f.FileName = DocumentBaseName(path);
    return ok;
}

LoadResult LoadDocument(document::TFractal& f, const std::string& path, engine::ComputeObserver* observer,
                        const LoadOptions& options, LoadDetails* details)
{
    LoadDetails scratch;
    LoadDetails& info = details ? *details : scratch;
    info = LoadDetails{};

    auto fail = [&f](LoadResult r) {
        ResetToDefaults(f);
        return r;
    };

    ResetToDefaults(f);
    std::unique_ptr<std::FILE, FileClose> in(std::fopen(path.c_str(), "rbe"));
    if (!in)
        return fail(LoadResult::ErrorReadingFile);

    const uint64_t available = options.availableMemory ? *options.availableMemory : availablePhysicalMemory();
    switch (ReadHeader(in.get(), f, available, options.parts)) {
    case HeaderOutcome::Ok:
        break;
    case HeaderOutcome::NotEnoughMemory:
        return fail(LoadResult::NotEnoughMemory);
    case HeaderOutcome::ErrorReadingFile:
        return fail(LoadResult::ErrorReadingFile);
    }
    info.headerRead = true;

    const DataResult data = ReadData(in.get(), f, observer, options.parts);
    switch (data.outcome) {
    case DataOutcome::Ok:
        break;
    case DataOutcome::NoMemory:
        info.allocationMessage = data.message;
        return fail(LoadResult::NotEnoughMemory);
    case DataOutcome::Corrupt:
        return fail(LoadResult::ErrorReadingFile);
    }

    f.CommitImageParams();
    f.Modified = false;
    f.FileName = DocumentBaseName(path);
    return LoadResult::Ok;
}

}  // namespace storage
