#pragma once

#include <string>
#include <vector>

namespace cli {

// "vorex-cli export FILE.mbt -o OUT.tif|OUT.gif|OUT.jpg|OUT.bmp|OUT.png [--dpi N] [--quality N]
// [--dither none|diffusion] [--quiet]": opens the document, colours it as the window would show it
// and writes the picture; the output's extension names the format. `args` are the words after
// "export". Returns the exit status: 0 written; 1 the document could not be read ("Error reading
// file", "Not enough memory to open file") or the picture could not be written (any previous file
// at OUT is then left as it was); 2 a bad command line, or a format the image's depth does not
// allow (JPEG needs a 24-bit image, BMP an 8-bit one). Usage errors are reported here, on
// standard error, in the form "vorex-cli: MESSAGE".
int runExportCommand(const std::vector<std::string>& args);

// The usage lines of the command, for the program's help text.
extern const char* const ExportUsage;

}  // namespace cli
