// Draws the profile figures of the made-up profile into a directory, for
// looking at them: profile_pictures DIR writes DIR/profplot-*.png.
#include <cstdio>
#include <string>

#include "synthetic_profile.h"

int main(int argc, char** argv) {
  namespace tp = tavrin::plot::testing_profile;
  const std::string dir = argc > 1 ? argv[1] : ".";
  const std::string ext = argc > 2 ? argv[2] : ".png";
  try {
    tavrin::plot::WritePseudoSection(tp::Pseudo(true), dir + "/profplot-pseudo" + ext);
    tavrin::plot::WritePseudoSection(tp::Pseudo(false), dir + "/profplot-pseudo-unfitted" + ext);
    tavrin::plot::WriteResistivitySection(tp::Section(false), dir + "/profplot-section" + ext);
    tavrin::plot::WriteResistivitySection(tp::Section(true),
                                          dir + "/profplot-section-elevation" + ext);
  } catch (const tavrin::plot::PlotError& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
  return 0;
}
