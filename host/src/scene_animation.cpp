#include "quorhost/scene_animation.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace quorhost {
namespace {

Vec3 Add3(Vec3 a, Vec3 b, Vec3 c) {
  return {(a.x + b.x) + c.x, (a.y + b.y) + c.y, (a.z + b.z) + c.z};
}

Vec3 Scaled(Vec3 v, double s) { return {s * v.x, s * v.y, s * v.z}; }

Vec3 Lerp(Vec3 a, Vec3 b, double u) {
  // (1-u)*a + u*b rather than a + (b-a)*u: no overflow for values near the double range.
  const double w = 1.0 - u;
  return {w * a.x + u * b.x, w * a.y + u * b.y, w * a.z + u * b.z};
}

// A track of values at increasing times (ties keep their input order).
template <typename Value>
struct Track {
  std::vector<double> times;
  std::vector<Value> values;

  bool empty() const { return times.empty(); }

  // The segment around `seconds`: {index, -1} when a key holds exactly (at a key, before the
  // first, after the last), else {earlier, later}.
  std::pair<size_t, ptrdiff_t> Locate(double seconds) const {
    const auto it = std::upper_bound(times.begin(), times.end(), seconds);
    if (it == times.begin()) return {0, -1};
    const size_t later = static_cast<size_t>(it - times.begin());
    if (later == times.size() || times[later - 1] == seconds) return {later - 1, -1};
    return {later - 1, static_cast<ptrdiff_t>(later)};
  }

  double Fraction(size_t earlier, size_t later, double seconds) const {
    return (seconds - times[earlier]) / (times[later] - times[earlier]);
  }
};

template <typename Value>
Track<Value> SortedTrack(std::vector<std::pair<double, Value>> entries) {
  std::stable_sort(entries.begin(), entries.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  Track<Value> track;
  track.times.reserve(entries.size());
  track.values.reserve(entries.size());
  for (auto& [time, value] : entries) {
    track.times.push_back(time);
    track.values.push_back(std::move(value));
  }
  return track;
}

Vec3 Sample(const Track<Vec3>& track, Vec3 rest, double seconds) {
  if (track.empty()) return rest;
  const auto [earlier, later] = track.Locate(seconds);
  if (later < 0) return track.values[earlier];
  const size_t next = static_cast<size_t>(later);
  return Lerp(track.values[earlier], track.values[next], track.Fraction(earlier, next, seconds));
}

class KeyedAnimator final : public Animator {
 public:
  explicit KeyedAnimator(const KeyedAnimation& animation)
      : rest_position_(animation.rest_position),
        rest_rotation_(animation.rest_rotation),
        rest_scale_(animation.rest_scale) {
    std::vector<std::pair<double, Vec3>> position, rotation, scale;
    for (const TransformKey& key : animation.keys) {
      if (std::isnan(key.frame)) continue;
      const double seconds = FrameToSeconds(key.frame, animation.fps);
      if (key.position) position.emplace_back(seconds, *key.position);
      if (key.rotation) rotation.emplace_back(seconds, *key.rotation);
      if (key.scale) scale.emplace_back(seconds, *key.scale);
    }
    position_ = SortedTrack(std::move(position));
    rotation_ = SortedTrack(std::move(rotation));
    scale_ = SortedTrack(std::move(scale));

    std::vector<std::pair<double, std::vector<Vec3>>> points;
    for (const PointKey& key : animation.point_keys) {
      if (std::isnan(key.frame)) continue;
      points.emplace_back(FrameToSeconds(key.frame, animation.fps), key.points);
    }
    points_ = SortedTrack(std::move(points));
  }

  void Evaluate(double seconds, EvaluatedState& state) const override {
    if (!rotation_.empty() || !scale_.empty()) {
      state.local = ComposeMatrix(Sample(position_, rest_position_, seconds),
                                  Sample(rotation_, rest_rotation_, seconds),
                                  Sample(scale_, rest_scale_, seconds));
    } else if (!position_.empty()) {
      state.local.t = Sample(position_, rest_position_, seconds);
    }
    if (!points_.empty()) EvaluatePoints(seconds, state.points);
  }

 private:
  void EvaluatePoints(double seconds, std::vector<Vec3>& out) const {
    const auto [earlier, later] = points_.Locate(seconds);
    const std::vector<Vec3>& from = points_.values[earlier];
    if (later < 0) {
      out = from;
      return;
    }
    const size_t next = static_cast<size_t>(later);
    const std::vector<Vec3>& to = points_.values[next];
    // Keys of different point counts cannot blend: the earlier key holds until the later one.
    if (to.size() != from.size()) {
      out = from;
      return;
    }
    const double u = points_.Fraction(earlier, next, seconds);
    out.resize(from.size());
    for (size_t i = 0; i < from.size(); ++i) out[i] = Lerp(from[i], to[i], u);
  }

  Vec3 rest_position_, rest_rotation_, rest_scale_;
  Track<Vec3> position_, rotation_, scale_;
  Track<std::vector<Vec3>> points_;
};

constexpr double kDegreesToRadians = std::numbers::pi / 180.0;
constexpr double kRadiansToDegrees = 180.0 / std::numbers::pi;

double Length(Vec3 v) { return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z); }

}  // namespace

Mat4 Multiply(const Mat4& a, const Mat4& b) {
  Mat4 c;
  c.t = {((a.t.x + b.t.x * a.x.x) + b.t.y * a.y.x) + b.t.z * a.z.x,
         ((a.t.y + b.t.x * a.x.y) + b.t.y * a.y.y) + b.t.z * a.z.y,
         ((a.t.z + b.t.x * a.x.z) + b.t.y * a.y.z) + b.t.z * a.z.z};
  const auto axis = [&a](Vec3 v) {
    return Add3(Scaled(a.x, v.x), Scaled(a.y, v.y), Scaled(a.z, v.z));
  };
  c.x = axis(b.x);
  c.y = axis(b.y);
  c.z = axis(b.z);
  return c;
}

Vec3 Transform(const Mat4& m, Vec3 p) {
  return {((m.t.x + p.x * m.x.x) + p.y * m.y.x) + p.z * m.z.x,
          ((m.t.y + p.x * m.x.y) + p.y * m.y.y) + p.z * m.z.y,
          ((m.t.z + p.x * m.x.z) + p.y * m.y.z) + p.z * m.z.z};
}

void SinCosDegrees(double degrees, double& sine, double& cosine) {
  const double reduced = std::fmod(degrees, 360.0);  // exact, keeps the sign
  const double quarter = reduced / 90.0;             // exact for multiples of 90
  if (quarter == std::floor(quarter)) {
    static constexpr double kSin[4] = {0, 1, 0, -1};
    static constexpr double kCos[4] = {1, 0, -1, 0};
    const int index = (static_cast<int>(quarter) % 4 + 4) % 4;
    sine = kSin[index];
    cosine = kCos[index];
    return;
  }
  const double radians = reduced * kDegreesToRadians;
  sine = std::sin(radians);
  cosine = std::cos(radians);
}

Mat4 ComposeMatrix(Vec3 position, Vec3 rotation_deg, Vec3 scale) {
  double sx, cx, sy, cy, sz, cz;
  SinCosDegrees(rotation_deg.x, sx, cx);
  SinCosDegrees(rotation_deg.y, sy, cy);
  SinCosDegrees(rotation_deg.z, sz, cz);
  Mat4 s;
  s.x = {scale.x, 0, 0};
  s.y = {0, scale.y, 0};
  s.z = {0, 0, scale.z};
  Mat4 rx;
  rx.y = {0, cx, sx};
  rx.z = {0, 0.0 - sx, cx};  // 0 - s: no negative zero in the axes
  Mat4 ry;
  ry.x = {cy, 0, 0.0 - sy};
  ry.z = {sy, 0, cy};
  Mat4 rz;
  rz.x = {cz, sz, 0};
  rz.y = {0.0 - sz, cz, 0};
  Mat4 m = Multiply(rz, Multiply(ry, Multiply(rx, s)));
  m.t = position;
  return m;
}

void DecomposeMatrix(const Mat4& m, Vec3& position, Vec3& rotation_deg, Vec3& scale) {
  position = m.t;
  scale = {Length(m.x), Length(m.y), Length(m.z)};
  const Vec3& a = m.x;
  const Vec3& b = m.y;
  const Vec3& c = m.z;
  const double determinant =
      a.x * (b.y * c.z - b.z * c.y) - b.x * (a.y * c.z - a.z * c.y) + c.x * (a.y * b.z - a.z * b.y);
  if (determinant < 0) scale.x = -scale.x;
  const auto unit = [](Vec3 v, double length) {
    return length != 0 ? Vec3{v.x / length, v.y / length, v.z / length} : Vec3{0, 0, 0};
  };
  const Vec3 ux = unit(a, scale.x), uy = unit(b, scale.y), uz = unit(c, scale.z);
  // Rz*Ry*Rx has column X = (cz*cy, sz*cy, -sy), Y.z = cy*sx, Z.z = cy*cx.
  const double sin_y = std::clamp(-ux.z, -1.0, 1.0);
  double angle_x = 0, angle_z = 0;
  const double angle_y = std::asin(sin_y);
  if (std::abs(sin_y) < 1.0 - 1e-12) {
    angle_x = std::atan2(uy.z, uz.z);
    angle_z = std::atan2(ux.y, ux.x);
  } else {
    // Gimbal lock: the X angle folds into Z; take it as 0.
    angle_z = std::atan2(-uy.x, uy.y);
  }
  rotation_deg = {angle_x * kRadiansToDegrees, angle_y * kRadiansToDegrees,
                  angle_z * kRadiansToDegrees};
}

double FrameToSeconds(double frame, int32_t fps) {
  return fps > 0 ? frame / static_cast<double>(fps) : frame;
}

std::shared_ptr<const Animator> MakeKeyedAnimator(const KeyedAnimation& animation) {
  return std::make_shared<const KeyedAnimator>(animation);
}

}  // namespace quorhost
