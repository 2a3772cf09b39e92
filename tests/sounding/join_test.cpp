// Joining MN/2 segments: a smooth three-layer curve read in overlapping
// segments, each multiplied by a known factor, comes back joined by the
// inverse factors; gaps stop the chain; mismatches name the pairs that differ.
#include "sounding/join.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "sounding/forward.h"

namespace tavrin::sounding {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
// Log-log interpolation between one segment's readings follows this curve
// at these spacings to 3e-4 or better at each overlap.
constexpr double kTolerance = 1e-3;
// The factor a repeated AB/2 puts on its two readings, one up, one down.
constexpr double kRepeatSpread = 1.1;
const LayeredModel kModel{{100, 40, 300}, {3, 15}};

struct SegmentPlan {
  double mn2;
  std::vector<double> ab2;
};

// Four segments in an order of appearance that is not that of MN/2; each
// shares some AB/2 with its neighbours and not others, and MN/2 = 0.5 reads
// AB/2 = 8 twice.
const std::vector<SegmentPlan> kSegments = {
    {2, {5, 6, 7, 8, 10, 12, 15, 20, 25, 30, 35, 40}},
    {0.5, {1, 1.5, 2, 2.5, 3, 4, 5, 6, 8, 8, 10}},
    {40, {150, 175, 200, 250, 300, 400, 500, 600, 800, 1000}},
    {10, {25, 28, 30, 35, 40, 50, 60, 80, 100, 120, 150, 200, 250, 300}},
};

// The segments read on the ideal array, segment s multiplied by scale[s].
Sounding Synthetic(const std::vector<SegmentPlan>& plan, const std::vector<double>& scale) {
  Sounding sounding;
  sounding.layout = Layout::kFieldSheet;
  long line = 1;
  for (std::size_t s = 0; s < plan.size(); ++s) {
    double previous = 0;
    for (const double ab2 : plan[s].ab2) {
      double rho = ApparentResistivity(kModel, ab2) * scale[s];
      if (ab2 == previous) {
        sounding.readings.back().rho *= kRepeatSpread;
        rho /= kRepeatSpread;
      }
      previous = ab2;
      sounding.readings.push_back(
          {++line, ab2, plan[s].mn2, kNaN, rho, 1, kNaN, static_cast<int>(s)});
    }
  }
  sounding.segmentCount = static_cast<int>(plan.size());
  return sounding;
}

struct JoinCase {
  std::string name;
  std::vector<SegmentPlan> plan;
  std::vector<double> scale;
  std::optional<double> referenceMn2;
  int reference;
  std::vector<bool> joined;
};

TEST(JoinSegments, RecoversTheFactorsUpToTheFirstGap) {
  // MN/2 = 10 moved beyond the others' AB/2: a gap between 2 and 10.
  std::vector<SegmentPlan> gap = kSegments;
  gap[3].ab2 = {60, 80, 100, 120, 150, 200, 250, 300};
  const std::vector<JoinCase> cases = {
      {"unscaled", kSegments, {1, 1, 1, 1}, std::nullopt, 2, {true, true, true, true}},
      {"largest MN/2", kSegments, {0.8, 1.3, 2, 1}, std::nullopt, 2, {true, true, true, true}},
      {"inner MN/2", kSegments, {0.8, 1.3, 2, 1}, 2 * (1 + 1e-12), 0, {true, true, true, true}},
      {"smallest MN/2", kSegments, {1.25, 0.6, 0.9, 1.5}, 0.5, 1, {true, true, true, true}},
      {"gap, largest", gap, {0.8, 1.3, 2, 1}, std::nullopt, 2, {false, false, true, true}},
      {"gap, inner", gap, {0.8, 1.3, 2, 1}, 2, 0, {true, true, false, false}},
      {"no MN/2", {{kNaN, {1, 2, 3}}}, {1.7}, std::nullopt, 0, {true}},
  };
  for (const JoinCase& c : cases) {
    SCOPED_TRACE(c.name);
    Sounding sounding = Synthetic(c.plan, c.scale);
    const JoinResult join = JoinSegments(sounding, c.referenceMn2);
    EXPECT_EQ(join.reference, c.reference);
    ASSERT_EQ(join.segments.size(), c.plan.size());
    for (std::size_t s = 0; s < c.plan.size(); ++s) {
      SCOPED_TRACE("MN/2 " + std::to_string(c.plan[s].mn2));
      const SegmentJoin& segment = join.segments[s];
      EXPECT_EQ(segment.joined, c.joined[s]);
      const double expected = c.joined[s] ? c.scale[c.reference] / c.scale[s] : 1;
      EXPECT_NEAR(segment.factor / expected, 1, kTolerance);
      EXPECT_EQ(segment.overlapping > 0, c.joined[s] && static_cast<int>(s) != c.reference);
    }
    // Joined, the segments that chain to the reference meet.
    ApplyJoin(sounding, join);
    for (const Mismatch& m : SegmentMismatches(sounding, kTolerance)) {
      EXPECT_FALSE(c.joined[m.smaller] && c.joined[m.larger]) << m.smaller << "-" << m.larger;
    }
  }
}

TEST(JoinSegments, AReferenceThatNamesNoSegmentThrows) {
  const Sounding sounding = Synthetic(kSegments, {1, 1, 1, 1});
  for (const double mn2 : {3.0, 2.001, 0.0, kNaN}) {
    SCOPED_TRACE(mn2);
    try {
      JoinSegments(sounding, mn2);
      ADD_FAILURE() << "no JoinError";
    } catch (const JoinError& e) {
      EXPECT_NE(std::string(e.what()).find("0.5, 2, 10, 40"), std::string::npos) << e.what();
    }
  }
}

struct MismatchCase {
  std::vector<double> scale;
  std::vector<std::pair<int, int>> pairs;  // smaller, larger
};

TEST(SegmentMismatches, NameExactlyThePairsThatDiffer) {
  constexpr double kFivePercent = 0.05;
  const std::vector<MismatchCase> cases = {
      {{1, 1, 1, 1}, {}},
      {{1, 1, 1, 1.2}, {{0, 3}, {3, 2}}},
      {{1, 1.03, 1, 1}, {}},
      // 1 / 0.951 is 5.2 % above 1, though 0.951 is 4.9 % below it.
      {{1, 1, 1, 0.951}, {{0, 3}, {3, 2}}},
      {{1, 1, 1, 0.96}, {}},
      {{1, 0.5, 1.5, 1.5}, {{1, 0}, {0, 3}}},
  };
  for (const MismatchCase& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.scale));
    const std::vector<Mismatch> found =
        SegmentMismatches(Synthetic(kSegments, c.scale), kFivePercent);
    ASSERT_EQ(found.size(), c.pairs.size());
    for (std::size_t k = 0; k < found.size(); ++k) {
      EXPECT_EQ(found[k].smaller, c.pairs[k].first);
      EXPECT_EQ(found[k].larger, c.pairs[k].second);
      EXPECT_NEAR(found[k].ratio / (c.scale[found[k].larger] / c.scale[found[k].smaller]), 1,
                  kTolerance);
    }
  }
}

}  // namespace
}  // namespace tavrin::sounding
