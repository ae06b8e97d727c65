// Running the objseq executable from tests: arguments, working folder and environment in; exit
// status and both output streams out.
#pragma once

#include "test_files.h"

#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace objseqtest {

struct Generation {
  std::string flag;  // "12", "11.5": the --generation value
  std::string name;  // "R12", "R11_5": golden folders, test names
  std::string plugin_path;
  std::string header;  // first line of every frame file
};
const std::vector<Generation>& Generations();
inline void PrintTo(const Generation& g, std::ostream* os) { *os << g.name; }

struct RunResult {
  int exit_code = -1;  // the exit status, or -1 when the program did not exit normally
  std::string out, err;
};

struct RunOptions {
  std::string cwd;                                        // "" = the test's own
  std::map<std::string, std::optional<std::string>> env;  // set (value) or unset (nullopt)
  // Runs with stderr on a pseudo-terminal; `err` then holds what the terminal received.
  bool stderr_terminal = false;
};

// Runs `program` (default: the objseq under test) with `args`; waits for it.
RunResult RunObjseq(const std::vector<std::string>& args, const RunOptions& options = {},
                    const std::string& program = {});

std::string ObjseqPath();
std::string ExamplesDir();
std::string GoldenDir();

using quortest::ReadFile;
using quortest::TempDir;
using quortest::WriteFile;

// The lines of `text` that are not empty.
std::vector<std::string> Lines(const std::string& text);

}  // namespace objseqtest
