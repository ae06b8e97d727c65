// A host session around one loaded plug-in, and one export through its scene saver, driven as the
// application drives them: start-up, start, message 1, then per export the allocation hook, Save
// through the registration record, the destructor hook; end and unload when the session closes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "progress_display.h"
#include "quorhost/host.h"
#include "quorhost/plugin.h"
#include "quorhost/scene.h"

namespace objseq {

// Exit statuses of objseq.
inline constexpr int kExitOk = 0;
inline constexpr int kExitExportFailed = 1;  // also: a plug-in that cannot be loaded or started
inline constexpr int kExitUsage = 2;         // also: scene errors

inline constexpr int32_t kSaverId = 1026826;

struct PluginChoice {
  quorhost::Generation generation = quorhost::Generation::R12;
  bool generation_given = false;  // --generation was on the command line
  std::string plugin_path;        // --plugin; "" = the built plug-in of `generation`
};

// One host session with one plug-in library loaded in it. Not copyable; one per process at a time
// (the host finds its session through a global). Closing sends the end action when start-up was
// sent, unloads the library, then ends the host session, in that order.
class PluginSession {
 public:
  // Finds and loads the library, asks its generation (action 4), opens a host session of that
  // generation and sends start-up; when start-up succeeds, start; when start succeeds, message 1.
  // Null, with one line in `error`, when the library cannot be found or loaded, or names a
  // generation it is not or none at all. A refused start-up still gives a session (see Ready).
  static std::unique_ptr<PluginSession> Open(const PluginChoice& choice, std::string& error);
  ~PluginSession();
  PluginSession(const PluginSession&) = delete;
  PluginSession& operator=(const PluginSession&) = delete;

  quorhost::Host& host() { return *host_; }
  const std::string& plugin_path() const { return path_; }
  quorhost::Generation generation() const { return generation_; }

  // The entry point's answers; nullopt for an action that was not sent.
  int32_t startup_result() const { return startup_result_; }
  std::optional<int32_t> start_result() const { return start_result_; }
  std::optional<int32_t> message_result() const { return message_result_; }

  // The accepted registration of the "Quorvan OBJ Sequence" saver (id 1026826), else the only
  // accepted scene-saver registration (one with a suffix); null when there is none.
  const quorhost::Registration* saver() const;

  // True when the plug-in is started and has a saver; otherwise false with one line in `why`.
  bool Ready(std::string& why) const;

 private:
  PluginSession() = default;
  std::unique_ptr<quorhost::Host> host_;
  std::unique_ptr<quorhost::Plugin> plugin_;
  std::string path_;
  quorhost::Generation generation_ = quorhost::Generation::R12;
  int32_t startup_result_ = 0;
  std::optional<int32_t> start_result_, message_result_;
};

struct ExportReport {
  int exit_code = kExitOk;
  std::string failure;        // one line when exit_code is not kExitOk
  int32_t save_result = 0;    // what Save returned (0 when it was not called)
  int64_t files_written = 0;  // frames whose file the plug-in completed (its progress calls)
};

// Builds a document from `scene`, creates a saver node, saves to `target` with filter flags 1,
// deletes the node and frees the document. A document the host cannot build is a scene error
// named after `scene_name`. An export fails when Save returns an error, or when the host could not
// flush or close one of the files completely even though Save returned 0. The session must be
// Ready. The plug-in's progress values are shown on `progress` once Save has returned.
ExportReport RunExport(PluginSession& session, const quorhost::Scene& scene,
                       const std::string& scene_name, const std::string& target,
                       ProgressDisplay& progress);

}  // namespace objseq
