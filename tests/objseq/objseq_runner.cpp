#include "objseq_runner.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

extern char** environ;

namespace objseqtest {

const std::vector<Generation>& Generations() {
  static const std::vector<Generation> all = {
      {"12", "R12", QUOR_PLUGIN_R12,
       "#OBJ File Created by Quorvan OBJ Sequence Exporter for C4D R12"},
      {"11.5", "R11_5", QUOR_PLUGIN_R11_5,
       "#OBJ File Created by Quorvan OBJ Sequence Exporter for C4D R11.5"},
  };
  return all;
}

std::string ObjseqPath() { return OBJSEQ_PATH; }
std::string ExamplesDir() { return QUOR_EXAMPLES_DIR; }
std::string GoldenDir() { return QUOR_OBJSEQ_GOLDEN_DIR; }

namespace {

std::vector<std::string> Environment(const RunOptions& options) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    std::string key = entry.substr(0, entry.find('='));
    if (!options.env.count(key)) env.push_back(entry);
  }
  for (const auto& [key, value] : options.env)
    if (value) env.push_back(key + "=" + *value);
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (std::string& s : strings) pointers.push_back(s.data());
  pointers.push_back(nullptr);
  return pointers;
}

// Reads the pty master until the child has closed its end (EIO on Linux).
std::string DrainTerminal(int master) {
  std::string text;
  char buffer[4096];
  for (;;) {
    ssize_t n = read(master, buffer, sizeof buffer);
    if (n > 0) {
      text.append(buffer, static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    break;
  }
  return text;
}

}  // namespace

RunResult RunObjseq(const std::vector<std::string>& args, const RunOptions& options,
                    const std::string& program) {
  RunResult result;
  TempDir capture;
  const std::string out_path = capture / "stdout", err_path = capture / "stderr";
  std::vector<std::string> argv_strings = {program.empty() ? ObjseqPath() : program};
  argv_strings.insert(argv_strings.end(), args.begin(), args.end());
  std::vector<std::string> env_strings = Environment(options);
  std::vector<char*> argv = Pointers(argv_strings), envp = Pointers(env_strings);

  int master = -1, slave = -1;
  if (options.stderr_terminal && openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) {
    ADD_FAILURE() << "openpty failed";
    return result;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                   0600);
  if (slave >= 0) {
    posix_spawn_file_actions_adddup2(&actions, slave, 2);
    posix_spawn_file_actions_addclose(&actions, master);
  } else {
    posix_spawn_file_actions_addopen(&actions, 2, err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
  }
  if (!options.cwd.empty()) posix_spawn_file_actions_addchdir_np(&actions, options.cwd.c_str());

  pid_t pid = 0;
  int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  if (slave >= 0) close(slave);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << argv[0] << ": " << std::strerror(spawned);
    if (master >= 0) close(master);
    return result;
  }
  if (master >= 0) {
    result.err = DrainTerminal(master);
    close(master);
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  result.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  result.out = ReadFile(out_path);
  if (master < 0) result.err = ReadFile(err_path);
  return result;
}


std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) lines.push_back(line);
  return lines;
}

}  // namespace objseqtest
