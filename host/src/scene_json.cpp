#include "quorhost/scene_json.h"

#include <cstdint>
#include <fstream>
#include <limits>
#include <nlohmann/json.hpp>
#include <sstream>
#include <utility>
#include <vector>

#include "quorhost/scene_animation.h"

namespace quorhost {
namespace {

using Json = nlohmann::json;

// ---------------------------------------------------------------------------------------------
// Parsing: nlohmann's DOM builder behind a SAX filter that rejects repeated fields (with their
// path) and keeps the byte position of a syntax error. nlohmann's parser and its destructor are
// both iterative, so depth costs memory only.

// nlohmann counts the characters read, the offending one (or the end of the text) included.
std::string LineAndColumn(std::string_view text, size_t characters_read) {
  const size_t position = std::min(characters_read > 0 ? characters_read - 1 : 0, text.size());
  size_t line = 1, line_start = 0;
  for (size_t i = 0; i < position; ++i) {
    if (text[i] == '\n') {
      ++line;
      line_start = i + 1;
    }
  }
  return "line " + std::to_string(line) + ", column " + std::to_string(position - line_start + 1);
}

// nlohmann's messages start with "[json.exception.parse_error.101] parse error at line 1,
// column 4: "; the position is reported separately, so keep only the description.
std::string Description(const std::string& what) {
  std::string text = what;
  if (const size_t bracket = text.find("] ");
      text.rfind("[json.exception", 0) == 0 && bracket != std::string::npos) {
    text.erase(0, bracket + 2);
  }
  if (text.rfind("parse error at line", 0) == 0) {
    if (const size_t colon = text.find(": "); colon != std::string::npos) text.erase(0, colon + 2);
  }
  return text;
}

class StrictSax {
 public:
  explicit StrictSax(Json& root) : dom_(root, false) {}

  bool null() { return Value() && dom_.null(); }
  bool boolean(bool v) { return Value() && dom_.boolean(v); }
  bool number_integer(Json::number_integer_t v) { return Value() && dom_.number_integer(v); }
  bool number_unsigned(Json::number_unsigned_t v) { return Value() && dom_.number_unsigned(v); }
  bool number_float(Json::number_float_t v, const std::string& s) {
    return Value() && dom_.number_float(v, s);
  }
  bool string(std::string& v) { return Value() && dom_.string(v); }
  bool binary(Json::binary_t& v) { return Value() && dom_.binary(v); }

  bool start_object(std::size_t n) {
    if (!Value()) return false;
    frames_.push_back({false, keys_.size(), 0});
    return dom_.start_object(n);
  }
  bool key(std::string& k) {
    Frame& frame = frames_.back();
    for (size_t i = frame.first_key; i < keys_.size(); ++i) {
      if (keys_[i] == k) {
        keys_.push_back(k);
        frame.current = keys_.size() - 1;
        duplicate_path_ = Path();
        return false;
      }
    }
    keys_.push_back(k);
    frame.current = keys_.size() - 1;
    return dom_.key(k);
  }
  bool end_object() {
    keys_.resize(frames_.back().first_key);
    frames_.pop_back();
    return dom_.end_object();
  }
  bool start_array(std::size_t n) {
    if (!Value()) return false;
    frames_.push_back({true, 0, 0});
    return dom_.start_array(n);
  }
  bool end_array() {
    frames_.pop_back();
    return dom_.end_array();
  }
  bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& e) {
    syntax_position_ = position;
    syntax_message_ = Description(e.what());
    return false;
  }

  // After a failed parse: the one-line reason, without the file name.
  std::string Error(std::string_view text) const {
    if (!duplicate_path_.empty()) return duplicate_path_ + ": repeated field";
    if (!syntax_message_.empty())
      return LineAndColumn(text, syntax_position_) + ": " + syntax_message_;
    return "the JSON text could not be parsed";
  }

 private:
  struct Frame {
    bool array;
    size_t first_key;  // objects: where this object's keys start in keys_; arrays: next index
    size_t current;    // objects: index in keys_ of the key being read
  };

  // Every value advances the index of the array that holds it.
  bool Value() {
    if (!frames_.empty() && frames_.back().array) ++frames_.back().first_key;
    return true;
  }

  std::string Path() const {
    std::string path;
    for (const Frame& frame : frames_) {
      if (frame.array) {
        path += "[" + std::to_string(frame.first_key - 1) + "]";
      } else {
        if (!path.empty()) path += '.';
        path += keys_[frame.current];
      }
    }
    return path;
  }

  nlohmann::detail::json_sax_dom_parser<Json> dom_;
  std::vector<Frame> frames_;
  std::vector<std::string> keys_;  // keys of all open objects, outermost first
  std::string duplicate_path_;
  std::string syntax_message_;
  size_t syntax_position_ = 0;
};

// ---------------------------------------------------------------------------------------------
// Conversion into a Scene.

// A position in the JSON tree, as a chain of links on the stack. The text of a path is built
// only for an error message: building it for every value would cost time in the depth.
struct Where {
  enum Kind { kRoot, kObject, kField, kIndex };
  const Where* up = nullptr;
  Kind kind = kRoot;
  std::string_view field;  // kField
  size_t number = 0;       // kIndex: the array index; kObject: the object's index in the scene
};

Where Field(const Where& up, std::string_view field) { return {&up, Where::kField, field, 0}; }
Where At(const Where& up, size_t index) { return {&up, Where::kIndex, {}, index}; }

class Converter {
 public:
  Converter(const std::string& name, std::string& error) : name_(name), error_(error) {}

  bool Run(const Json& root, Scene& scene) {
    const Where top;
    if (!root.is_object()) return Fail(top, "expected a JSON object at the top level");
    static constexpr const char* kTopFields[] = {"fps",     "minFrame", "maxFrame",
                                                 "minTime", "maxTime",  "objects"};
    if (!OnlyFields(root, kTopFields, top)) return false;
    if (const Json* fps = Find(root, "fps"); fps && !ReadInt32(*fps, Field(top, "fps"), scene.fps))
      return false;
    if (!ReadRangeEnd(root, "minFrame", "minTime", 0, scene.fps, scene.min_time)) return false;
    if (!ReadRangeEnd(root, "maxFrame", "maxTime", 90, scene.fps, scene.max_time)) return false;
    fps_ = scene.fps;
    const Json* objects = Find(root, "objects");
    if (!objects) return true;
    if (!objects->is_array()) return Fail(Field(top, "objects"), "expected an array of objects");
    return ReadObjects(*objects, scene.objects);
  }

 private:
  // Where an object sits in the file, for error messages.
  struct Link {
    int32_t parent;
    size_t index;  // in the parent's "children" (or the top-level "objects")
  };

  template <size_t N>
  bool OnlyFields(const Json& object, const char* const (&allowed)[N], const Where& where) {
    for (const auto& [key, value] : object.items()) {
      bool known = false;
      for (const char* field : allowed) known = known || key == field;
      if (!known) return Fail(Field(where, key), "unknown field \"" + key + "\"");
    }
    return true;
  }

  static const Json* Find(const Json& object, const char* field) {
    const auto it = object.find(field);
    return it == object.end() ? nullptr : &*it;
  }

  std::string Render(const Where& where) const {
    std::vector<const Where*> chain;
    for (const Where* at = &where; at && at->kind != Where::kRoot; at = at->up) chain.push_back(at);
    std::string path;
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
      const Where& link = **it;
      switch (link.kind) {
        case Where::kObject:
          path += ObjectPath(static_cast<int32_t>(link.number));
          break;
        case Where::kField:
          if (!path.empty()) path += '.';
          path += link.field;
          break;
        case Where::kIndex:
          path += "[" + std::to_string(link.number) + "]";
          break;
        case Where::kRoot:
          break;
      }
    }
    return path;
  }

  bool Fail(const Where& where, const std::string& message) {
    const std::string path = Render(where);
    error_ = name_ + ": " + (path.empty() ? "" : path + ": ") + message;
    return false;
  }

  bool ReadNumber(const Json& value, const Where& where, double& out) {
    if (!value.is_number()) return Fail(where, "expected a number");
    out = value.get<double>();
    return true;
  }

  bool ReadInt32(const Json& value, const Where& where, int32_t& out) {
    constexpr int64_t kLeast = std::numeric_limits<int32_t>::min();
    constexpr int64_t kMost = std::numeric_limits<int32_t>::max();
    bool fits = false;
    if (value.is_number_unsigned()) {
      fits = value.get<uint64_t>() <= static_cast<uint64_t>(kMost);
    } else if (value.is_number_integer()) {
      const int64_t v = value.get<int64_t>();
      fits = v >= kLeast && v <= kMost;
    }
    if (!fits) return Fail(where, "expected an integer in 32-bit range");
    out = static_cast<int32_t>(value.get<int64_t>());
    return true;
  }

  bool ReadVec3(const Json& value, const Where& where, Vec3& out) {
    if (!value.is_array() || value.size() != 3 || !value[0].is_number() || !value[1].is_number() ||
        !value[2].is_number()) {
      return Fail(where, "expected an array of 3 numbers");
    }
    out = {value[0].get<double>(), value[1].get<double>(), value[2].get<double>()};
    return true;
  }

  bool ReadPoints(const Json& value, const Where& where, std::vector<Vec3>& out) {
    if (!value.is_array()) return Fail(where, "expected an array of points");
    out.resize(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
      if (!ReadVec3(value[i], At(where, i), out[i])) return false;
    }
    return true;
  }

  bool ReadPolygons(const Json& value, const Where& where, std::vector<Poly>& out) {
    if (!value.is_array()) return Fail(where, "expected an array of polygons");
    out.resize(value.size());
    for (size_t i = 0; i < value.size(); ++i) {
      const Json& poly = value[i];
      const Where at = At(where, i);
      if (!poly.is_array() || (poly.size() != 3 && poly.size() != 4)) {
        return Fail(at, "expected an array of 3 or 4 indices");
      }
      int32_t index[4];
      for (size_t c = 0; c < poly.size(); ++c) {
        if (!ReadInt32(poly[c], At(at, c), index[c])) return false;
      }
      if (poly.size() == 3) index[3] = index[2];  // a triangle repeats its last index
      out[i] = {index[0], index[1], index[2], index[3]};
    }
    return true;
  }

  bool ReadTime(const Json& value, const Where& where, Time& out) {
    if (!value.is_object()) return Fail(where, "expected an object {\"num\": N, \"den\": D}");
    static constexpr const char* kFields[] = {"num", "den"};
    if (!OnlyFields(value, kFields, where)) return false;
    const Json* num = Find(value, "num");
    const Json* den = Find(value, "den");
    if (!num) return Fail(Field(where, "num"), "missing field \"num\"");
    if (!den) return Fail(Field(where, "den"), "missing field \"den\"");
    return ReadNumber(*num, Field(where, "num"), out.num) &&
           ReadNumber(*den, Field(where, "den"), out.den);
  }

  // One end of the document's range: a frame (num = frame, den = fps) or an exact time.
  bool ReadRangeEnd(const Json& root, const char* frame_field, const char* time_field,
                    double default_frame, int32_t fps, Time& out) {
    const Json* frame = Find(root, frame_field);
    const Json* time = Find(root, time_field);
    const Where top;
    if (frame && time) {
      return Fail(Field(top, time_field), std::string("give either \"") + frame_field + "\" or \"" +
                                              time_field + "\", not both");
    }
    if (time) return ReadTime(*time, Field(top, time_field), out);
    double value = default_frame;
    if (frame && !ReadNumber(*frame, Field(top, frame_field), value)) return false;
    out = {value, static_cast<double>(fps)};
    return true;
  }

  std::string ObjectPath(int32_t self) const {
    std::vector<size_t> chain;  // innermost first
    for (int32_t at = self; at >= 0; at = links_[static_cast<size_t>(at)].parent) {
      chain.push_back(links_[static_cast<size_t>(at)].index);
    }
    constexpr size_t kHead = 4, kTail = 8;
    std::string path = "objects[" + std::to_string(chain.back()) + "]";
    const size_t levels = chain.size();
    for (size_t level = 1; level < levels; ++level) {
      if (levels > kHead + kTail + 1 && level == kHead) {
        path += ".(" + std::to_string(levels - kHead - kTail) + " more levels of children)";
        level = levels - kTail - 1;
        continue;
      }
      path += ".children[" + std::to_string(chain[levels - 1 - level]) + "]";
    }
    return path;
  }

  bool ReadObjects(const Json& top, std::vector<SceneObject>& objects) {
    struct Pending {
      const Json* node;
      int32_t parent;
      size_t index;
    };
    // Depth-first pre-order without recursion: children are pushed in reverse so the first
    // child comes out next.
    std::vector<Pending> stack;
    for (size_t i = top.size(); i-- > 0;) stack.push_back({&top[i], -1, i});
    while (!stack.empty()) {
      const Pending pending = stack.back();
      stack.pop_back();
      if (objects.size() >= static_cast<size_t>(std::numeric_limits<int32_t>::max())) {
        return Fail(Field(Where{}, "objects"), "too many objects");
      }
      const auto self = static_cast<int32_t>(objects.size());
      links_.push_back({pending.parent, pending.index});
      SceneObject object;
      object.parent = pending.parent;
      const Json* children = nullptr;
      const Where where{nullptr, Where::kObject, {}, static_cast<size_t>(self)};
      if (!ReadObject(*pending.node, where, object, children)) return false;
      objects.push_back(std::move(object));
      if (children) {
        for (size_t i = children->size(); i-- > 0;) stack.push_back({&(*children)[i], self, i});
      }
    }
    return true;
  }

  static bool KindFromName(const std::string& name, ObjectKind& kind) {
    static const std::pair<const char*, ObjectKind> kKinds[] = {{"null", ObjectKind::Null},
                                                                {"polygon", ObjectKind::Polygon},
                                                                {"cube", ObjectKind::Cube},
                                                                {"plane", ObjectKind::Plane},
                                                                {"sphere", ObjectKind::Sphere}};
    for (const auto& [text, value] : kKinds) {
      if (name == text) {
        kind = value;
        return true;
      }
    }
    return false;
  }

  // Fields that only some kinds of object take.
  static bool FieldApplies(const std::string& field, ObjectKind kind) {
    if (field == "points" || field == "polygons" || field == "pointKeys")
      return kind == ObjectKind::Polygon;
    if (field == "size") return kind == ObjectKind::Cube;
    if (field == "width" || field == "height" || field == "widthSegments" ||
        field == "heightSegments")
      return kind == ObjectKind::Plane;
    if (field == "radius") return kind == ObjectKind::Sphere;
    if (field == "segments") return kind == ObjectKind::Plane || kind == ObjectKind::Sphere;
    return true;
  }

  bool ReadObject(const Json& node, const Where& where, SceneObject& object,
                  const Json*& children) {
    if (!node.is_object()) return Fail(where, "expected an object");
    static constexpr const char* kFields[] = {
        "name",          "type",           "matrix", "position", "rotation",  "scale",
        "points",        "polygons",       "size",   "width",    "height",    "segments",
        "widthSegments", "heightSegments", "radius", "keys",     "pointKeys", "children"};
    if (!OnlyFields(node, kFields, where)) return false;

    const Json* type = Find(node, "type");
    if (!type) return Fail(where, "missing field \"type\"");
    if (!type->is_string()) return Fail(Field(where, "type"), "expected a string");
    if (!KindFromName(type->get<std::string>(), object.kind)) {
      return Fail(Field(where, "type"), "unknown type \"" + type->get<std::string>() +
                                            "\" (null, polygon, cube, plane or sphere)");
    }
    const std::string& type_name = type->get_ref<const std::string&>();
    for (const auto& [key, value] : node.items()) {
      if (!FieldApplies(key, object.kind)) {
        return Fail(Field(where, key), "not a field of a " + type_name + " object");
      }
    }

    if (const Json* name = Find(node, "name")) {
      if (!name->is_string()) return Fail(Field(where, "name"), "expected a string");
      object.name = name->get<std::string>();
    }

    KeyedAnimation animation;
    animation.fps = fps_;
    if (!ReadRest(node, where, object, animation)) return false;

    if (const Json* v = Find(node, "points");
        v && !ReadPoints(*v, Field(where, "points"), object.points))
      return false;
    if (const Json* v = Find(node, "polygons");
        v && !ReadPolygons(*v, Field(where, "polygons"), object.polygons))
      return false;
    if (!ReadGenerator(node, where, object)) return false;
    if (!ReadKeys(node, where, animation)) return false;
    if (!animation.keys.empty() || !animation.point_keys.empty()) {
      object.animator = MakeKeyedAnimator(animation);
    }

    children = Find(node, "children");
    if (children && !children->is_array()) {
      return Fail(Field(where, "children"), "expected an array of objects");
    }
    return true;
  }

  // The rest transform: a "matrix", or "position"/"rotation"/"scale" (identity by default).
  bool ReadRest(const Json& node, const Where& where, SceneObject& object,
                KeyedAnimation& animation) {
    const Json* matrix = Find(node, "matrix");
    const Json* position = Find(node, "position");
    const Json* rotation = Find(node, "rotation");
    const Json* scale = Find(node, "scale");
    if (matrix && (position || rotation || scale)) {
      return Fail(Field(where, "matrix"),
                  "give either \"matrix\" or \"position\"/\"rotation\"/\"scale\", not both");
    }
    if (matrix) {
      const Where at = Field(where, "matrix");
      if (!matrix->is_object()) return Fail(at, "expected an object {\"t\", \"x\", \"y\", \"z\"}");
      static constexpr const char* kFields[] = {"t", "x", "y", "z"};
      if (!OnlyFields(*matrix, kFields, at)) return false;
      Mat4& m = object.matrix;
      for (auto [field, target] : {std::pair{"t", &m.t}, std::pair{"x", &m.x}, std::pair{"y", &m.y},
                                   std::pair{"z", &m.z}}) {
        if (const Json* v = Find(*matrix, field); v && !ReadVec3(*v, Field(at, field), *target))
          return false;
      }
      // Rest values for keyed tracks: exact for the translation, and for the rotation and scale
      // as far as the matrix is a rotation times a scale.
      DecomposeMatrix(m, animation.rest_position, animation.rest_rotation, animation.rest_scale);
      return true;
    }
    if (position && !ReadVec3(*position, Field(where, "position"), animation.rest_position))
      return false;
    if (rotation && !ReadVec3(*rotation, Field(where, "rotation"), animation.rest_rotation))
      return false;
    if (scale && !ReadVec3(*scale, Field(where, "scale"), animation.rest_scale)) return false;
    object.matrix =
        ComposeMatrix(animation.rest_position, animation.rest_rotation, animation.rest_scale);
    return true;
  }

  bool ReadGenerator(const Json& node, const Where& where, SceneObject& object) {
    if (const Json* v = Find(node, "size"); v && !ReadVec3(*v, Field(where, "size"), object.size))
      return false;
    if (const Json* v = Find(node, "width");
        v && !ReadNumber(*v, Field(where, "width"), object.width))
      return false;
    if (const Json* v = Find(node, "height");
        v && !ReadNumber(*v, Field(where, "height"), object.height))
      return false;
    if (const Json* v = Find(node, "radius");
        v && !ReadNumber(*v, Field(where, "radius"), object.radius))
      return false;
    if (const Json* v = Find(node, "segments")) {
      if (object.kind == ObjectKind::Plane) {
        if (Find(node, "widthSegments") || Find(node, "heightSegments")) {
          return Fail(Field(where, "segments"),
                      "give either \"segments\" or \"widthSegments\"/\"heightSegments\", not both");
        }
        if (!ReadInt32(*v, Field(where, "segments"), object.width_segments)) return false;
        object.height_segments = object.width_segments;
      } else if (!ReadInt32(*v, Field(where, "segments"), object.segments)) {
        return false;
      }
    }
    if (const Json* v = Find(node, "widthSegments");
        v && !ReadInt32(*v, Field(where, "widthSegments"), object.width_segments))
      return false;
    if (const Json* v = Find(node, "heightSegments");
        v && !ReadInt32(*v, Field(where, "heightSegments"), object.height_segments))
      return false;
    return true;
  }

  bool ReadKeys(const Json& node, const Where& where, KeyedAnimation& animation) {
    if (const Json* keys = Find(node, "keys")) {
      const Where at = Field(where, "keys");
      if (!keys->is_array()) return Fail(at, "expected an array of keys");
      static constexpr const char* kFields[] = {"frame", "position", "rotation", "scale"};
      for (size_t i = 0; i < keys->size(); ++i) {
        const Json& key = (*keys)[i];
        const Where here = At(at, i);
        if (!key.is_object()) return Fail(here, "expected an object");
        if (!OnlyFields(key, kFields, here)) return false;
        TransformKey out;
        if (!ReadFrame(key, here, out.frame)) return false;
        for (auto [field, target] :
             {std::pair{"position", &out.position}, std::pair{"rotation", &out.rotation},
              std::pair{"scale", &out.scale}}) {
          if (const Json* v = Find(key, field)) {
            Vec3 value;
            if (!ReadVec3(*v, Field(here, field), value)) return false;
            *target = value;
          }
        }
        animation.keys.push_back(std::move(out));
      }
    }
    if (const Json* keys = Find(node, "pointKeys")) {
      const Where at = Field(where, "pointKeys");
      if (!keys->is_array()) return Fail(at, "expected an array of point keys");
      static constexpr const char* kFields[] = {"frame", "points"};
      for (size_t i = 0; i < keys->size(); ++i) {
        const Json& key = (*keys)[i];
        const Where here = At(at, i);
        if (!key.is_object()) return Fail(here, "expected an object");
        if (!OnlyFields(key, kFields, here)) return false;
        PointKey out;
        if (!ReadFrame(key, here, out.frame)) return false;
        const Json* points = Find(key, "points");
        if (!points) return Fail(Field(here, "points"), "missing field \"points\"");
        if (!ReadPoints(*points, Field(here, "points"), out.points)) return false;
        animation.point_keys.push_back(std::move(out));
      }
    }
    return true;
  }

  bool ReadFrame(const Json& key, const Where& where, double& frame) {
    const Json* value = Find(key, "frame");
    if (!value) return Fail(Field(where, "frame"), "missing field \"frame\"");
    return ReadNumber(*value, Field(where, "frame"), frame);
  }

  const std::string& name_;
  std::string& error_;
  int32_t fps_ = 30;
  std::vector<Link> links_;
};

}  // namespace

bool ParseSceneJson(std::string_view text, const std::string& name_for_errors, Scene& scene,
                    std::string& error) {
  Json root;
  {
    StrictSax sax(root);
    if (!Json::sax_parse(text.begin(), text.end(), &sax)) {
      error = name_for_errors + ": " + sax.Error(text);
      return false;
    }
  }
  Scene loaded;
  if (!Converter(name_for_errors, error).Run(root, loaded)) return false;
  scene = std::move(loaded);
  return true;
}

bool LoadSceneJson(const std::string& path, Scene& scene, std::string& error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    error = path + ": cannot open the file";
    return false;
  }
  std::ostringstream text;
  text << file.rdbuf();
  if (file.bad()) {
    error = path + ": cannot read the file";
    return false;
  }
  return ParseSceneJson(text.str(), path, scene, error);
}

}  // namespace quorhost
