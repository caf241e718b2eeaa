#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "engine/ComputeObserver.h"
#include "document/Fractal.h"
#include "storage/Workspace.h"

// Saving and opening a fractal document (".mbt") by path: the header record (DocumentHeader.h)
// followed by the compressed pixel values (DocumentData.h). The dialogs, the status line, the recent
// files (storage::addRecentFile in Preferences.h, applied by the caller after a successful save and
// after an open whose header was read) and the marker drawing belong to the caller.
namespace storage {

inline constexpr const char* DocumentExtension = "mbt";

struct SaveContext {
    std::optional<double> savedAt;          // days since 1899-12-30, local time; default: now
    std::optional<std::string> userName;    // default: the system's user name (DefaultUserName)
    engine::ComputeObserver* observer = nullptr;  // progress over the rows, may be null
};

// Writes the document to `path` through a temporary file that replaces the target only when it is
// complete: a failed save returns false and leaves any previous file at `path` byte for byte as it
// was (no partial file is left either). Afterwards Modified = !result; on success FileName becomes
// the file's name without directory and extension, on failure it is unchanged.
bool SaveDocument(document::TFractal& f, const std::string& path, const SaveContext& context = {});

enum class LoadResult : uint8_t {
    Ok,
    ErrorReadingFile,  // "Error reading file"
    NotEnoughMemory,   // "Not enough memory to open file"
};

struct LoadOptions {
    std::optional<uint64_t> availableMemory;  // bytes; default: availablePhysicalMemory()
    // ValuesOnly: the values and every parameter, without the display bitmap (see AllocImage); the
    // memory estimate then counts the values alone. For callers that colour rows themselves (export).
    ImageParts parts = ImageParts::ValuesAndBitmap;
};
struct LoadDetails {
    bool headerRead = false;        // the header was accepted: the path enters the recent files
    std::string allocationMessage;  // "No Memory ..." when the workspace could not be made
};

// Opens the document at `path`: the document is reset to the defaults of a new one, the header read
// (which fails on a wrong magic, a damaged or out-of-range record, or too little memory by the
// estimate), then the values inflated row by row and coloured (only inflated with
// ImageParts::ValuesOnly). On success the parameters are
// committed as the image's, Modified = false and FileName = the file's name without directory and
// extension. On failure the document is reset to the defaults again. A header that passed the memory
// estimate but whose workspace still cannot be allocated gives NotEnoughMemory (details say which
// allocation failed). Progress goes to `observer` (may be null).
LoadResult LoadDocument(document::TFractal& f, const std::string& path, engine::ComputeObserver* observer,
                        const LoadOptions& options = {}, LoadDetails* details = nullptr);

// The name of the user saving documents: the login name of the process's user (the password
// database, else $USER or $LOGNAME), cut to 20 characters; read once and kept.
const std::string& DefaultUserName();

// The file's name without directory and extension: "/a/b/c.mbt" -> "c".
std::string DocumentBaseName(const std::string& path);

}  // namespace storage
