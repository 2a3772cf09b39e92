// Joining the MN/2 segments of a sounding: each segment's apparent
// resistivities multiplied by one factor so that it meets its neighbour where
// their AB/2 ranges overlap, the factors chained to a reference segment.
#pragma once

#include <optional>
#include <stdexcept>
#include <vector>

#include "sounding/sounding.h"

namespace tavrin::sounding {

// A reference MN/2 that names no segment; what() is a one-line message.
class JoinError : public std::invalid_argument {
 public:
  using std::invalid_argument::invalid_argument;
};

struct SegmentJoin {
  double mn2;       // the segment's MN/2
  double factor;    // multiplies its apparent resistivities; 1 if not joined
  bool joined;      // false where no overlap chains it to the reference
  int overlapping;  // its readings used at the overlap with the segment it
                    // was joined to (0 for the reference and the unjoined)
};

struct JoinResult {
  int reference = 0;                  // index of the reference segment
  std::vector<SegmentJoin> segments;  // by segment index
};

// The factors; the reference is the segment of the largest MN/2 unless
// `referenceMn2` names another (JoinError when it names none).
JoinResult JoinSegments(const Sounding& sounding, std::optional<double> referenceMn2);

// Multiplies each reading's rho by its segment's factor and records it in
// Reading::shift.
void ApplyJoin(Sounding& sounding, const JoinResult& join);

// Neighbouring segments (by MN/2) whose curves disagree at their overlap:
// the geometric mean of the ratio of the larger MN/2's readings to the
// smaller's (interpolated) there.
struct Mismatch {
  int smaller;   // segment index of the smaller MN/2
  int larger;    // segment index of the larger MN/2
  double ratio;  // larger / smaller at the overlap
};

// Every neighbouring pair that overlaps and differs by more than `tolerance`
// (0.05: 5 %).
std::vector<Mismatch> SegmentMismatches(const Sounding& sounding, double tolerance);

}  // namespace tavrin::sounding
