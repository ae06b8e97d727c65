// Finding the built plug-in libraries relative to the running objseq executable, in the build tree
// (<build>/bin/objseq, <build>/plugins/<name>/<name>.so) and in an installed tree
// (<prefix>/bin/objseq, <prefix>/lib/quorvan/plugins/<name>/<name>.so).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "quorhost/host.h"

namespace objseq {

// "QuorOBJExport_R12" or "QuorOBJExport_R11_5": the library's and its folder's name.
std::string PluginLibraryName(quorhost::Generation generation);

// "12" or "11.5", as the command line spells a generation.
std::string GenerationLabel(quorhost::Generation generation);

// The folder holding the running executable ("" when the system cannot tell).
std::string ExecutableDirectory();

// The first existing plug-in library of `generation` below `executable_dir`'s parent, or nullopt.
// Every candidate path looked at is appended to `searched` (may be null).
std::optional<std::string> FindBuiltPlugin(quorhost::Generation generation,
                                           const std::string& executable_dir,
                                           std::vector<std::string>* searched);

}  // namespace objseq
