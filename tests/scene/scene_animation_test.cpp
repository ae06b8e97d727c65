#include "quorhost/scene_animation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "scene_test_support.h"

namespace quorhost {
namespace {

Mat4 Translation(Vec3 t) {
  Mat4 m;
  m.t = t;
  return m;
}

TEST(SceneMatrix, ProductAndTransformSumLeftToRight) {
  // 1e16 + 1 + 1 loses both ones when summed left to right; any other order keeps a 2.
  Mat4 a = Translation({1e16, 0, 0});
  Mat4 b = Translation({1, 1, 0});
  b.x = {1, 0, 0};
  a.y = {1, 0, 0};  // b's translation y lands on a's Y axis, which points along x
  EXPECT_EQ(Multiply(a, b).t.x, 1e16);
  EXPECT_EQ(Transform(a, {1, 1, 0}).x, 1e16);

  // The writer's own example: a child at (0,0,5) under a parent at (10,0,0).
  const Mat4 world = Multiply(Translation({10, 0, 0}), Translation({0, 0, 5}));
  EXPECT_TRUE(SameBits(Transform(world, {1, 1, 0}), Vec3{11, 1, 5}));
}

TEST(SceneMatrix, ProductAppliesTheRightFactorFirst) {
  const Mat4 turn = ComposeMatrix({0, 0, 0}, {0, 0, 90}, {1, 1, 1});
  const Mat4 move = Translation({5, 0, 0});
  // Move, then turn: (5,0,0) turned a quarter about Z is (0,5,0).
  EXPECT_TRUE(SameBits(Transform(Multiply(turn, move), {0, 0, 0}), Vec3{0, 5, 0}));
  EXPECT_TRUE(SameBits(Transform(Multiply(move, turn), {0, 0, 0}), Vec3{5, 0, 0}));
}

TEST(SceneMatrix, SinCosOfQuarterTurnsIsExact) {
  struct Case {
    double degrees, sine, cosine;
  };
  for (const Case& c : {Case{0, 0, 1}, Case{90, 1, 0}, Case{180, 0, -1}, Case{270, -1, 0},
                        Case{-90, -1, 0}, Case{360, 0, 1}, Case{450, 1, 0}, Case{-720, 0, 1}}) {
    double s = 7, co = 7;
    SinCosDegrees(c.degrees, s, co);
    EXPECT_TRUE(SameBits(s, c.sine) || (s == 0 && c.sine == 0)) << c.degrees;
    EXPECT_EQ(co, c.cosine) << c.degrees;
  }
  double s, co;
  SinCosDegrees(30, s, co);
  EXPECT_NEAR(s, 0.5, 1e-15);
  EXPECT_NEAR(co, std::sqrt(3.0) / 2, 1e-15);
}

TEST(SceneMatrix, ComposeScalesThenRotatesXThenYThenZThenTranslates) {
  // (0,1,0): X by 90 takes it to (0,0,1), which Z by 90 leaves alone. Z first would give (-1,0,0).
  EXPECT_TRUE(SameBits(Transform(ComposeMatrix({0, 0, 0}, {90, 0, 90}, {1, 1, 1}), {0, 1, 0}),
                       Vec3{0, 0, 1}));
  // Scale before rotation, translation last.
  EXPECT_TRUE(SameBits(Transform(ComposeMatrix({10, 20, 30}, {90, 0, 90}, {1, 2, 1}), {0, 1, 0}),
                       Vec3{10, 20, 32}));
  // Right-hand rule about each axis.
  EXPECT_TRUE(
      SameBits(Transform(ComposeMatrix({}, {0, 0, 90}, {1, 1, 1}), {1, 0, 0}), Vec3{0, 1, 0}));
  EXPECT_TRUE(
      SameBits(Transform(ComposeMatrix({}, {0, 90, 0}, {1, 1, 1}), {0, 0, 1}), Vec3{1, 0, 0}));
  EXPECT_TRUE(
      SameBits(Transform(ComposeMatrix({}, {90, 0, 0}, {1, 1, 1}), {0, 1, 0}), Vec3{0, 0, 1}));
  // By hand: X by 30 takes (0,1,0) to (0, cos30, sin30) = (0, sqrt3/2, 1/2); Y by 45 then takes
  // (x, y, z) to (x cos45 + z sin45, y, -x sin45 + z cos45) = (sqrt2/4, sqrt3/2, sqrt2/4).
  const Vec3 turned = Transform(ComposeMatrix({}, {30, 45, 0}, {1, 1, 1}), {0, 1, 0});
  EXPECT_TRUE(Near(turned, {std::sqrt(2.0) / 4, std::sqrt(3.0) / 2, std::sqrt(2.0) / 4}, 1e-15))
      << turned;
  // The rest pose is the exact identity.
  EXPECT_TRUE(SameBits(ComposeMatrix({0, 0, 0}, {0, 0, 0}, {1, 1, 1}), Mat4{}));
}

TEST(SceneMatrix, DecomposeRecoversComposedValues) {
  struct Case {
    Vec3 position, rotation, scale;
  };
  for (const Case& c :
       {Case{{1, 2, 3}, {10, 20, 30}, {1, 2, 3}}, Case{{0, 0, 0}, {-45, 60, 170}, {0.5, 0.5, 4}},
        Case{{-7, 0, 1}, {0, 0, 0}, {-1, 1, 1}}}) {
    Vec3 position, rotation, scale;
    DecomposeMatrix(ComposeMatrix(c.position, c.rotation, c.scale), position, rotation, scale);
    EXPECT_TRUE(SameBits(position, c.position));
    EXPECT_TRUE(Near(rotation, c.rotation, 1e-9)) << rotation;
    EXPECT_TRUE(Near(scale, c.scale, 1e-12)) << scale;
  }
}

TEST(SceneMatrix, FramesBecomeSecondsWithTheSceneRate) {
  EXPECT_EQ(FrameToSeconds(45, 30), 1.5);
  EXPECT_EQ(FrameToSeconds(10, 30), 10.0 / 30.0);
  EXPECT_EQ(FrameToSeconds(5, 0), 5);
  EXPECT_EQ(FrameToSeconds(5, -24), 5);
}

EvaluatedState Evaluate(const Animator& animator, double seconds, const EvaluatedState& rest = {}) {
  EvaluatedState state = rest;
  animator.Evaluate(seconds, state);
  return state;
}

// Position keys at frames 0, 10 and 30 of a 30 fps scene.
TEST(KeyedAnimator, PositionTrackIsExactAtKeysLinearBetweenAndHeldOutside) {
  KeyedAnimation animation;
  animation.fps = 30;
  animation.keys = {{10, Vec3{0.1, 0.2, 0.3}, {}, {}},  // out of order on purpose
                    {0, Vec3{-1.7, 3, 1e300}, {}, {}},
                    {30, Vec3{0.7, -0.9, -1e300}, {}, {}}};
  const auto animator = MakeKeyedAnimator(animation);
  struct Case {
    std::string what;
    double seconds;
    Vec3 expected;
  };
  const double mid_u = (20.0 / 30.0 - 10.0 / 30.0) / (30.0 / 30.0 - 10.0 / 30.0);
  for (const Case& c : {
           Case{"before the first key", -2, {-1.7, 3, 1e300}},
           Case{"at the first key", 0, {-1.7, 3, 1e300}},
           Case{"at the middle key", 10.0 / 30.0, {0.1, 0.2, 0.3}},
           Case{"at the last key", 1, {0.7, -0.9, -1e300}},
           Case{"after the last key", 50, {0.7, -0.9, -1e300}},
           Case{"half way through the first span", 5.0 / 30.0, {-0.8, 1.6, 5e299}},
           Case{"half way through the second span",
                20.0 / 30.0,
                {(1 - mid_u) * 0.1 + mid_u * 0.7, (1 - mid_u) * 0.2 + mid_u * -0.9,
                 (1 - mid_u) * 0.3 + mid_u * -1e300}},
       }) {
    const EvaluatedState state = Evaluate(*animator, c.seconds);
    if (c.what.rfind("half", 0) == 0) {
      EXPECT_TRUE(Near(state.local.t, c.expected, 1e-12 * std::abs(c.expected.z) + 1e-12))
          << c.what << ": " << state.local.t;
    } else {
      EXPECT_TRUE(SameBits(state.local.t, c.expected)) << c.what << ": " << state.local.t;
    }
  }
}

TEST(KeyedAnimator, PositionOnlyKeepsTheRestAxesBitExact) {
  KeyedAnimation animation;
  animation.keys = {{0, Vec3{1, 2, 3}, {}, {}}};
  EvaluatedState rest;
  rest.local = ComposeMatrix({9, 9, 9}, {12.5, 33, -71}, {2, 3, 4});
  const EvaluatedState state = Evaluate(*MakeKeyedAnimator(animation), 0.5, rest);
  EXPECT_TRUE(SameBits(state.local.t, Vec3{1, 2, 3}));
  EXPECT_TRUE(SameBits(state.local.x, rest.local.x));
  EXPECT_TRUE(SameBits(state.local.y, rest.local.y));
  EXPECT_TRUE(SameBits(state.local.z, rest.local.z));
}

TEST(KeyedAnimator, UnkeyedTracksKeepTheirRestValues) {
  KeyedAnimation animation;
  animation.fps = 10;
  animation.rest_position = {5, 6, 7};
  animation.rest_rotation = {0, 0, 90};
  animation.rest_scale = {2, 2, 2};
  animation.keys = {{0, {}, Vec3{0, 0, 0}, {}},
                    {10, {}, Vec3{0, 0, 90}, {}},
                    {20, {}, {}, Vec3{3, 3, 3}}};  // the scale track has a single key
  const auto animator = MakeKeyedAnimator(animation);
  EXPECT_TRUE(
      SameBits(Evaluate(*animator, 0).local, ComposeMatrix({5, 6, 7}, {0, 0, 0}, {3, 3, 3})));
  EXPECT_TRUE(
      SameBits(Evaluate(*animator, 0.5).local, ComposeMatrix({5, 6, 7}, {0, 0, 45}, {3, 3, 3})));
  EXPECT_TRUE(
      SameBits(Evaluate(*animator, 7).local, ComposeMatrix({5, 6, 7}, {0, 0, 90}, {3, 3, 3})));

  // Without any transform key the local matrix is left as the host passed it.
  KeyedAnimation points_only;
  points_only.point_keys = {{0, {{1, 1, 1}}}};
  EvaluatedState rest;
  rest.local = ComposeMatrix({1, 2, 3}, {4, 5, 6}, {7, 8, 9});
  EXPECT_TRUE(SameBits(Evaluate(*MakeKeyedAnimator(points_only), 3, rest).local, rest.local));
}

TEST(KeyedAnimator, KeysOnOneFrameStepAndNaNFramesAreIgnored) {
  KeyedAnimation animation;
  animation.fps = 1;
  animation.keys = {{0, Vec3{0, 0, 0}, {}, {}},
                    {2, Vec3{10, 0, 0}, {}, {}},
                    {2, Vec3{20, 0, 0}, {}, {}},
                    {std::numeric_limits<double>::quiet_NaN(), Vec3{99, 99, 99}, {}, {}},
                    {4, Vec3{40, 0, 0}, {}, {}}};
  const auto animator = MakeKeyedAnimator(animation);
  EXPECT_EQ(Evaluate(*animator, 1).local.t.x, 5);   // towards the first key of frame 2
  EXPECT_EQ(Evaluate(*animator, 2).local.t.x, 20);  // the later key holds from frame 2 on
  EXPECT_EQ(Evaluate(*animator, 3).local.t.x, 30);
  EXPECT_EQ(Evaluate(*animator, 9).local.t.x, 40);
}

TEST(KeyedAnimator, PointKeysBlendEqualCountsAndHoldAcrossCountChanges) {
  KeyedAnimation animation;
  animation.fps = 10;
  const std::vector<Vec3> square = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0}};
  const std::vector<Vec3> big = {{0, 0, 0}, {3, 0, 0}, {3, 3, 0}, {0, 3, 0}};
  const std::vector<Vec3> triangle = {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}};
  animation.point_keys = {{10, square}, {20, big}, {30, triangle}};
  const auto animator = MakeKeyedAnimator(animation);
  EvaluatedState rest;
  rest.points = {{9, 9, 9}};
  struct Case {
    std::string what;
    double seconds;
    std::vector<Vec3> expected;
  };
  for (const Case& c : {
           Case{"before the first key", 0, square},
           Case{"at the first key", 1, square},
           Case{"between equal counts", 1.5, {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}}},
           Case{"at a key", 2, big},
           Case{"between different counts", 2.9, big},
           Case{"at the later key of a different count", 3, triangle},
           Case{"after the last key", 100, triangle},
       }) {
    EXPECT_TRUE(SameBits(Evaluate(*animator, c.seconds, rest).points, c.expected)) << c.what;
  }
}

}  // namespace
}  // namespace quorhost
