// objseq: exports scene files as OBJ sequences through the "Quorvan OBJ Sequence" plug-in,
// hosted by the stand-in host exactly as the application hosts it.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <clocale>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "export_run.h"
#include "plugin_locator.h"
#include "progress_display.h"
#include "quorhost/scene_demo.h"
#include "scene_input.h"

namespace objseq {
namespace {

struct CommonOptions {
  std::string generation = "12";
  std::string plugin;
  bool quiet = false;
};

void PrintError(const std::string& line) { std::fprintf(stderr, "objseq: %s\n", line.c_str()); }

void PrintWarnings(const std::vector<std::string>& warnings) {
  for (const std::string& w : warnings) std::fprintf(stderr, "objseq: warning: %s\n", w.c_str());
}

PluginChoice ChoiceFrom(const CommonOptions& options, bool generation_given) {
  PluginChoice choice;
  choice.generation =
      options.generation == "11.5" ? quorhost::Generation::R11_5 : quorhost::Generation::R12;
  choice.generation_given = generation_given;
  choice.plugin_path = options.plugin;
  return choice;
}

void AddPluginOptions(CLI::App& command, CommonOptions& options, CLI::Option** generation) {
  *generation = command
                    .add_option("--generation", options.generation,
                                "Host generation of the plug-in build to load: 12 or 11.5")
                    ->check(CLI::IsMember({"12", "11.5"}))
                    ->default_str("12");
  command.add_option("--plugin", options.plugin,
                     "Plug-in library to load instead of the built one (its generation is "
                     "asked of the library)");
}

// Where the plug-in puts the frames of `target`, for the closing line: its folder and the file
// names' pattern.
std::string SequenceWhere(const std::string& target) {
  std::filesystem::path path(target);
  std::string folder = path.parent_path().string();
  if (folder.empty()) folder = ".";
  return folder + "/" + path.stem().string() + "_<frame>.obj";
}

int OpenAndExport(const PluginChoice& choice, const quorhost::Scene& scene,
                  const std::string& scene_name, const std::string& target, bool quiet) {
  std::string error;
  std::unique_ptr<PluginSession> session = PluginSession::Open(choice, error);
  if (!session) {
    PrintError(error);
    return kExitExportFailed;
  }
  if (!session->Ready(error)) {
    PrintError(error);
    return kExitExportFailed;
  }
  if (session->message_result() != 1)
    PrintWarnings({"the plug-in could not load its resources (message 1 answered " +
                   std::to_string(session->message_result().value_or(0)) + ")"});

  ProgressDisplay progress(stderr, !quiet && isatty(fileno(stderr)) == 1);
  ExportReport report = RunExport(*session, scene, scene_name, target, progress);
  if (report.exit_code != kExitOk) {
    PrintError(report.failure);
    return report.exit_code;
  }
  if (!quiet) {
    std::printf("objseq: wrote %lld file%s: %s\n", static_cast<long long>(report.files_written),
                report.files_written == 1 ? "" : "s", SequenceWhere(target).c_str());
  }
  return kExitOk;
}

int RunExportCommand(const CommonOptions& options, bool generation_given,
                     const SceneRequest& request, const std::string& target) {
  quorhost::Scene scene;
  std::string error;
  std::vector<std::string> warnings;
  bool loaded = LoadScene(request, scene, error, warnings);
  PrintWarnings(warnings);
  if (!loaded) {
    PrintError(error);
    return kExitUsage;
  }
  return OpenAndExport(ChoiceFrom(options, generation_given), scene, request.path, target,
                       options.quiet);
}

int RunDemoCommand(const CommonOptions& options, bool generation_given, const std::string& dir) {
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error) {
    PrintError("cannot create the folder " + dir + ": " + error.message());
    return kExitExportFailed;
  }
  const std::string target = (std::filesystem::path(dir) / "demo.obj").string();
  return OpenAndExport(ChoiceFrom(options, generation_given), quorhost::MakeDemoScene(),
                       "demo scene", target, options.quiet);
}

int RunInfoCommand(const CommonOptions& options, bool generation_given) {
  std::string error;
  std::unique_ptr<PluginSession> session =
      PluginSession::Open(ChoiceFrom(options, generation_given), error);
  if (!session) {
    PrintError(error);
    return kExitExportFailed;
  }
  auto answer = [](const std::optional<int32_t>& result) {
    return result ? std::to_string(*result) : std::string("not sent");
  };
  std::printf("plug-in:      %s\n", session->plugin_path().c_str());
  std::printf("generation:   %s\n", GenerationLabel(session->generation()).c_str());
  std::printf("start-up:     %d\n", static_cast<int>(session->startup_result()));
  std::printf("start:        %s\n", answer(session->start_result()).c_str());
  std::printf("message 1:    %s\n", answer(session->message_result()).c_str());
  const auto& registrations = session->host().registrations();
  if (registrations.empty()) std::printf("registered:   nothing\n");
  for (const quorhost::Registration& r : registrations) {
    std::printf("registered:   type %d, id %d, name \"%s\", suffix %s, API version %d, %s\n",
                static_cast<int>(r.type), static_cast<int>(r.id), r.name.c_str(),
                r.has_suffix ? ("\"" + r.suffix + "\"").c_str() : "none", static_cast<int>(r.api),
                r.accepted ? "accepted" : "refused");
  }
  if (!session->Ready(error)) {
    PrintError(error);
    return kExitExportFailed;
  }
  return kExitOk;
}

int Main(int argc, char** argv) {
  // Like a desktop application, take the user's locale; the frame files do not depend on it.
  std::setlocale(LC_ALL, "");

  CLI::App app{"Exports scenes as OBJ sequences through the Quorvan OBJ Sequence plug-in.",
               "objseq"};
  app.set_version_flag("--version", std::string("objseq ") + OBJSEQ_VERSION);
  app.require_subcommand(1);

  CommonOptions export_options;
  SceneRequest request;
  std::string target;
  CLI::App* export_command = app.add_subcommand(
      "export",
      "Export SCENE (.json, .gltf, .glb, .fbx, .dae) as OUTPUT's name without suffix "
      "plus _<frame>.obj, one file per frame");
  CLI::Option* export_generation = nullptr;
  AddPluginOptions(*export_command, export_options, &export_generation);
  export_command->add_option("SCENE", request.path, "Scene file")->required();
  export_command->add_option("OUTPUT", target, "Output file name, such as shots/shot.obj")
      ->required();
  export_command->add_option("--animation", request.animation,
                             "glTF/FBX/Collada: the animation to sample, by name or index "
                             "(default: the first)");
  export_command
      ->add_option("--fps", request.fps,
                   "glTF/FBX/Collada: frames per second to sample at (default: from "
                   "the file)")
      ->check(CLI::PositiveNumber);
  export_command->add_flag("-q,--quiet", export_options.quiet, "Print nothing on success");

  CommonOptions demo_options;
  std::string demo_dir = "out";
  CLI::App* demo_command = app.add_subcommand(
      "demo", "Export the built-in demo scene into DIR as demo_000.obj to demo_090.obj");
  CLI::Option* demo_generation = nullptr;
  AddPluginOptions(*demo_command, demo_options, &demo_generation);
  demo_command->add_option("DIR", demo_dir, "Output folder, created when missing")
      ->default_str("out");
  demo_command->add_flag("-q,--quiet", demo_options.quiet, "Print nothing on success");

  CommonOptions info_options;
  CLI::App* info_command =
      app.add_subcommand("info", "Show what the plug-in registered and how its start-up went");
  CLI::Option* info_generation = nullptr;
  AddPluginOptions(*info_command, info_options, &info_generation);

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    const int status = app.exit(e);
    return status == 0 ? kExitOk : kExitUsage;
  }

  if (export_command->parsed())
    return RunExportCommand(export_options, export_generation->count() > 0, request, target);
  if (demo_command->parsed())
    return RunDemoCommand(demo_options, demo_generation->count() > 0, demo_dir);
  return RunInfoCommand(info_options, info_generation->count() > 0);
}

}  // namespace
}  // namespace objseq

int main(int argc, char** argv) { return objseq::Main(argc, argv); }
