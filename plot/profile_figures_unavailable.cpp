// The profile's figures in a build without Cairo: writing them fails with
// one line, as every figure of such a build does.
#include "plot/profile_figures.h"

namespace tavrin::plot {

void WritePseudoSection(const PseudoSection&, const std::string& path) {
  throw PlotError("cannot write the plot '" + path + "': this build of tavrin has no plots");
}

void WriteResistivitySection(const ResistivitySection&, const std::string& path) {
  throw PlotError("cannot write the plot '" + path + "': this build of tavrin has no plots");
}

}  // namespace tavrin::plot
