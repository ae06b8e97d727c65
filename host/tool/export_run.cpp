#include "export_run.h"

#include <filesystem>
#include <system_error>

#include "failure_text.h"
#include "plugin_locator.h"
#include "quorhost/values.h"

namespace objseq {

std::unique_ptr<PluginSession> PluginSession::Open(const PluginChoice& choice, std::string& error) {
  std::string path = choice.plugin_path;
  if (!path.empty()) {
    // dlopen searches the system's library folders for a bare name; a user means the file.
    std::error_code ignored;
    std::filesystem::path absolute = std::filesystem::absolute(path, ignored);
    if (!absolute.empty()) path = absolute.lexically_normal().string();
  } else {
    std::vector<std::string> searched;
    std::optional<std::string> found =
        FindBuiltPlugin(choice.generation, ExecutableDirectory(), &searched);
    if (!found) {
      error = "cannot find the plug-in " + PluginLibraryName(choice.generation) + ".so (looked for";
      for (size_t i = 0; i < searched.size(); ++i) error += (i ? ", " : " ") + searched[i];
      error += "); name one with --plugin FILE";
      return nullptr;
    }
    path = *found;
  }

  std::string load_error;
  std::unique_ptr<quorhost::Plugin> plugin = quorhost::Plugin::Load(path, &load_error);
  if (!plugin) {
    error = "cannot load the plug-in " + path + ": " + load_error;
    return nullptr;
  }
  // Action 4 needs no host session yet; the answer decides which tables the session serves.
  std::optional<quorhost::Generation> generation = plugin->QueryGeneration();
  if (!generation) {
    error = "the plug-in " + path + " names no known host generation (action 4)";
    return nullptr;
  }
  if ((choice.generation_given || choice.plugin_path.empty()) && *generation != choice.generation) {
    error = "the plug-in " + path + " is built for generation " + GenerationLabel(*generation) +
            ", not " + GenerationLabel(choice.generation);
    return nullptr;
  }

  std::unique_ptr<PluginSession> session(new PluginSession);
  quorhost::HostOptions options;
  options.generation = *generation;
  session->host_ = std::make_unique<quorhost::Host>(options);
  session->plugin_ = std::move(plugin);
  session->path_ = path;
  session->generation_ = *generation;
  session->startup_result_ = session->plugin_->StartUp();
  if (session->startup_result_ == 1) {
    session->start_result_ = session->plugin_->Start();
    if (*session->start_result_ == 1) session->message_result_ = session->plugin_->Message(1);
  }
  return session;
}

PluginSession::~PluginSession() {
  // Start-up and end are paired, also after a refused start-up (its counter was taken).
  if (plugin_) plugin_->End();
  plugin_.reset();
  host_.reset();
}

const quorhost::Registration* PluginSession::saver() const {
  const quorhost::Registration* only_saver = nullptr;
  int savers = 0;
  for (const quorhost::Registration& r : host_->registrations()) {
    if (!r.accepted) continue;
    if (r.id == kSaverId) return &r;
    if (r.has_suffix) {
      only_saver = &r;
      ++savers;
    }
  }
  return savers == 1 ? only_saver : nullptr;
}

bool PluginSession::Ready(std::string& why) const {
  if (startup_result_ != 1) {
    why = "the plug-in " + path_ + " refused start-up (result " + std::to_string(startup_result_) +
          ")";
    return false;
  }
  if (start_result_ != 1) {
    why = "the plug-in " + path_ + " failed to start (result " +
          std::to_string(start_result_.value_or(0)) + ")";
    return false;
  }
  if (!saver()) {
    why = "the plug-in " + path_ + " registered no scene saver";
    return false;
  }
  return true;
}

namespace {

// Save's error as one line: the host's record of the failed file operation when it explains the
// result, otherwise the code alone, against the chosen target.
std::string DescribeSaveFailure(quorhost::Host& host, int32_t result, const std::string& target) {
  std::optional<quorhost::FileFailure> failure = host.last_file_failure();
  if (failure && failure->code == result) return DescribeFileFailure(*failure);
  return FileErrorWords(result) + " " + target + " (file error " + std::to_string(result) + ")";
}

}  // namespace

ExportReport RunExport(PluginSession& session, const quorhost::Scene& scene,
                       const std::string& scene_name, const std::string& target,
                       ProgressDisplay& progress) {
  ExportReport report;
  quorhost::Host& host = session.host();
  std::string error;
  quorhost::Document* doc = host.BuildDocument(scene, &error);
  if (!doc) {
    report.exit_code = kExitUsage;
    report.failure = scene_name + ": " + error;
    return report;
  }
  {
    std::unique_ptr<quorhost::SaverNode> node =
        quorhost::SaverNode::Create(*session.saver(), &error);
    if (!node) {
      report.exit_code = kExitExportFailed;
      report.failure = "the plug-in " + session.plugin_path() + " made no saver object: " + error;
    } else {
      quorhost::PluginFilename name(target);
      int64_t frames = 0;
      host.set_status_observer([&](int32_t percent) { progress.Show(percent, ++frames); });
      report.save_result = node->Save(name.get(), doc, 1);
      host.set_status_observer({});
    }
  }
  host.FreeDocument(doc);
  if (!report.failure.empty()) return report;

  const std::vector<int32_t>& values = host.status_values();
  report.files_written = static_cast<int64_t>(values.size());
  progress.Finish();

  if (report.save_result != 0) {
    report.exit_code = kExitExportFailed;
    report.failure = DescribeSaveFailure(host, report.save_result, target);
    return report;
  }
  // Save tests each file's error state before the file is closed, so a flush that fails on close
  // is seen only by the host.
  quorhost::Books books = host.books();
  if (!books.close_failures.empty()) {
    report.exit_code = kExitExportFailed;
    report.failure = DescribeFileFailure(books.close_failures.front());
    // The frame whose file failed to close was counted as written by the plug-in.
    report.files_written -= static_cast<int64_t>(books.close_failures.size());
    if (report.files_written < 0) report.files_written = 0;
    return report;
  }
  return report;
}

}  // namespace objseq
