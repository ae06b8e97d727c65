// The stand-in host session: the tables a plug-in is started with, the documents it works on,
// and everything the host records for tests.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "quorhost/books.h"
#include "quorhost/faults.h"
#include "quorhost/journal.h"
#include "quorhost/scene.h"

namespace quorhost {

enum class Generation { R12, R11_5 };

// What GeRegistryFind(1000467, 17) finds: a record of full size, a record whose size field
// holds `description_size` (its storage still holds every entry), or nothing.
enum class DescriptionLibraryMode { Full, Sized, Absent };

struct HostOptions {
  Generation generation = Generation::R12;
  int32_t api_version = 0;  // root slot 0; 0 means the generation's own, 12000 or 11500
  DescriptionLibraryMode description_library = DescriptionLibraryMode::Full;
  int32_t description_size = 0;             // the size field in mode Sized
  bool registration_answer = true;          // GeRegisterPlugin's answer
  bool description_register_answer = true;  // Description_Register's answer
};

// A host document. Its address is the BaseDocument* the plug-in is handed.
struct Document;

// One object as the plug-in sees it: the matrix and points exactly as served (in an R11_5
// session, the float values widened back to double).
struct ObjectView {
  int32_t type = 0;  // 5100 polygon, 5140 null, 5159 cube, 5160 sphere, 5168 plane
  std::string name;
  int32_t parent = -1;  // index into the same list, -1 at the top level
  Mat4 matrix;
  std::vector<Vec3> points;    // polygon objects only
  std::vector<Poly> polygons;  // polygon objects only
};

struct DocumentView {
  int32_t fps = 0;
  Time current, min_time, max_time;
  std::vector<ObjectView> objects;  // depth-first pre-order
};

// A copy of one GeRegisterPlugin call, taken during the call.
struct Registration {
  int32_t api = 0, type = 0, id = 0;
  std::string name;
  int32_t size = 0;             // the record size passed
  std::vector<uint8_t> record;  // the record's bytes (`size` of them)
  bool has_suffix = false;      // cell 32 held a String
  std::string suffix;
  bool accepted = false;  // the host's answer

  static constexpr int kCellBytes = 16;
  // The two words at the start of record cell `cell` (zero beyond the record).
  uint64_t Word(int cell, int word = 0) const;
};

struct DebugBreak {
  int32_t line = 0;
  std::string file;
};

struct DescriptionCall {
  int32_t id = 0;
  std::string name;
  const void* resource = nullptr;
};

struct ModelingCall {
  int32_t command = 0, mode = 0, flags = 0;
  bool has_settings = false;
  std::map<int32_t, int32_t> settings;  // the settings container's bools
  bool succeeded = false;
};

struct AnimateCall {
  const void* object = nullptr;
  double num = 0, den = 1;
  int32_t flags = 0;
};

struct Session;

// One session per process at a time: the host's entry functions find it through a global.
// Not thread-safe; the plug-in calls the host from one thread. Destroy plug-ins (Plugin)
// before the Host: a plug-in's unload may still call the host.
class Host {
 public:
  explicit Host(const HostOptions& options = {});
  ~Host();
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  // The session alive now, or null.
  static Host* Current();

  Generation generation() const;
  const HostOptions& options() const;
  // The root table, p1 of c4d_main action 1. Owned by the session.
  void* root_table() const;

  Journal& journal();
  Faults& faults();
  Books books() const;
  // Forgets recorded close failures, stray releases and faults (after a test looked at them).
  void AcknowledgeFailures();

  // Builds a host document from a scene (current time = the scene's first time). Null, with a
  // reason in `error`, when a parent index does not precede its child. Owned by the session
  // until FreeDocument (or the plug-in's release) frees it.
  Document* BuildDocument(const Scene& scene, std::string* error = nullptr);
  // Frees a document and its objects; null accepted.
  void FreeDocument(Document* doc);
  // The document's parameters and its objects as served now. `doc` must be a live document.
  DocumentView ReadDocument(const void* doc) const;
  // A live object (BaseObject*) and its descendants as served now; element 0 is the object.
  std::vector<ObjectView> ReadObjectTree(const void* object) const;
  bool IsLiveDocument(const void* doc) const;
  bool IsLiveObject(const void* object) const;

  // Recorded calls, in order.
  const std::vector<int32_t>& status_values() const;
  // Called with every StatusSetBar value as the plug-in sets it (empty: none). For a live
  // progress display; runs on the plug-in's calling thread.
  void set_status_observer(std::function<void(int32_t)> observer);
  const std::vector<DebugBreak>& debug_breaks() const;
  const std::vector<Registration>& registrations() const;
  const std::vector<DescriptionCall>& description_calls() const;
  const std::vector<ModelingCall>& modeling_calls() const;
  const std::vector<AnimateCall>& animate_calls() const;
  // The last failed file operation of the session, if any.
  std::optional<FileFailure> last_file_failure() const;

  void set_registration_answer(bool answer);
  void set_description_register_answer(bool answer);

  Session& session() { return *session_; }

 private:
  std::unique_ptr<Session> session_;
};

}  // namespace quorhost
