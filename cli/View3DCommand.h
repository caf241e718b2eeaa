#pragma once

#include <string>
#include <vector>

namespace cli {

// "vorex-cli render3d FILE.mbt -o OUT [--azimuth A] [--elevation E] [--zscale Z] [--zlimit L] [--focal F]
// [--shift S] [--inverted on|off] [--perspective on|off] [--threads N] [--quiet]": the document's 3D
// relief view, coloured as the window colours it, written to OUT (the extension names the format, as for
// "export"). Each option defaults to the document's value. Exit status as for "export".
int runRender3DCommand(const std::vector<std::string>& args);

// "vorex-cli filter FILE.mbt -o OUT (--edges [...] | --emboss [...])": the document's picture passed
// through the edges or the emboss filter (see FilterUsage). Only 24-bit pictures change. Exit status as
// for "export".
int runFilterCommand(const std::vector<std::string>& args);

// The usage lines of both commands, for the program's help text.
extern const char* const View3DUsage;

}  // namespace cli
