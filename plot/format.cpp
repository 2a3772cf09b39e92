// A plot's format from its file name: a table of the extensions the plots
// are written in, compared without regard to case.
#include <array>
#include <cctype>

#include "plot/figure.h"

namespace tavrin::plot {

namespace {

struct Extension {
  std::string_view suffix;
  Format format;
};
constexpr std::array kExtensions{Extension{".svg", Format::kSvg}, Extension{".png", Format::kPng},
                                 Extension{".pdf", Format::kPdf}};

}  // namespace

std::optional<Format> FormatOf(std::string_view path) {
  for (const Extension& e : kExtensions) {
    if (path.size() < e.suffix.size()) continue;
    const std::string_view tail = path.substr(path.size() - e.suffix.size());
    bool same = true;
    for (std::size_t k = 0; k < tail.size(); ++k) {
      same = same && std::tolower(static_cast<unsigned char>(tail[k])) == e.suffix[k];
    }
    if (same) return e.format;
  }
  return std::nullopt;
}

}  // namespace tavrin::plot
