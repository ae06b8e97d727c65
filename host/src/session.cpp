#include "session.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "host_file.h"

namespace quorhost {
namespace {
Session* g_session = nullptr;
Host* g_host = nullptr;
}  // namespace

Session& S() {
  if (g_session == nullptr) {
    std::fprintf(stderr, "quorhost: a host entry was called with no host session alive\n");
    std::abort();
  }
  return *g_session;
}

std::string Hex(const void* p) {
  char text[32];
  std::snprintf(text, sizeof text, "%p", p);
  return text;
}

Session::Session(const HostOptions& opts)
    : options(opts), gen(opts.generation), world(opts.generation) {
  g_session = this;  // the table fillers below already reach the session
  if (options.api_version == 0) options.api_version = r12() ? 12000 : 11500;
  global_resource.global = true;
  description_library.size = options.description_library == DescriptionLibraryMode::Sized
                                 ? options.description_size
                                 : static_cast<int32_t>(sizeof(DescriptionLibraryRecord));
  FillDescriptionLibrary(description_library.entries, 24);
  description_registry = {1000467, 17, &description_library};
  BuildTables(tables, gen, options.api_version);
}

Session::~Session() {
  delete empty_string.text;  // made on first use
  for (HostFile* f : files) delete f;
  for (LocalResource* r : resources) delete r;
  for (auto& [storage, info] : live_values) {
    // Storage the host handed out is the host's to reclaim; the plug-in's own is not touched.
    if (info.owner != ValueOwner::HandedOut) continue;
    auto* cell = static_cast<TextCell*>(const_cast<void*>(storage));
    delete cell->text;
    delete cell;
  }
  g_session = nullptr;
}

// --- Host -----------------------------------------------------------------------------------

Host::Host(const HostOptions& options) {
  if (g_host != nullptr) {
    std::fprintf(stderr, "quorhost: only one Host session may exist at a time\n");
    std::abort();
  }
  session_ = std::make_unique<Session>(options);
  g_host = this;
}

Host::~Host() {
  session_.reset();
  g_host = nullptr;
}

Host* Host::Current() { return g_host; }
Generation Host::generation() const { return session_->gen; }
const HostOptions& Host::options() const { return session_->options; }
void* Host::root_table() const { return session_->tables.root.data(); }
Journal& Host::journal() { return session_->journal; }
Faults& Host::faults() { return session_->faults; }

Books Host::books() const {
  const Session& s = *session_;
  Books b;
  b.live_blocks = s.memory.live_blocks();
  b.live_bytes = s.memory.live_bytes();
  b.leaks = s.memory.Leaks();
  b.live_documents = s.world.live_documents();
  b.free_objects = s.world.free_objects();
  b.live_arrays = s.world.live_arrays();
  b.live_files = static_cast<int64_t>(s.files.size());
  for (const HostFile* f : s.files) b.open_files += f->is_open();
  b.live_resources = static_cast<int64_t>(s.resources.size());
  b.live_values = static_cast<int64_t>(s.live_values.size() + s.containers.size());
  b.close_failures = s.close_failures;
  b.stray_releases = s.stray_releases;
  b.faults = s.contract_faults;
  return b;
}

void Host::AcknowledgeFailures() {
  session_->close_failures.clear();
  session_->stray_releases.clear();
  session_->contract_faults.clear();
}

bool Host::IsLiveDocument(const void* doc) const { return session_->world.IsDocument(doc); }
bool Host::IsLiveObject(const void* object) const { return session_->world.IsObject(object); }

const std::vector<int32_t>& Host::status_values() const { return session_->status_values; }
void Host::set_status_observer(std::function<void(int32_t)> observer) {
  session_->status_observer = std::move(observer);
}
const std::vector<DebugBreak>& Host::debug_breaks() const { return session_->debug_breaks; }
const std::vector<Registration>& Host::registrations() const { return session_->registrations; }
const std::vector<DescriptionCall>& Host::description_calls() const {
  return session_->description_calls;
}
const std::vector<ModelingCall>& Host::modeling_calls() const { return session_->modeling_calls; }
const std::vector<AnimateCall>& Host::animate_calls() const { return session_->animate_calls; }
std::optional<FileFailure> Host::last_file_failure() const { return session_->last_failure; }

void Host::set_registration_answer(bool answer) { session_->options.registration_answer = answer; }
void Host::set_description_register_answer(bool answer) {
  session_->options.description_register_answer = answer;
}

uint64_t Registration::Word(int cell, int word) const {
  size_t at = static_cast<size_t>(cell) * kCellBytes + static_cast<size_t>(word) * 8;
  if (cell < 0 || word < 0 || at + 8 > record.size()) return 0;
  uint64_t value;
  std::memcpy(&value, record.data() + at, sizeof value);
  return value;
}

}  // namespace quorhost
