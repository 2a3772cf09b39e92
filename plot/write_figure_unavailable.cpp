// Figures in a build without Cairo (no Windows or WebAssembly Cairo comes
// with the system's packages): everything but the file is built as usual, and
// writing it fails with one line the tool reports before it starts any work.
#include "plot/figure.h"

namespace tavrin::plot {

bool CanWriteFigures() {
  return false;
}

void WriteFigure(const Figure&, const std::string& path) {
  throw PlotError("cannot write the plot '" + path + "': this build of tavrin has no plots");
}

}  // namespace tavrin::plot
