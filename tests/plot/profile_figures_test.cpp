// The profile figures: the field between the stations' columns of readings,
// its contours, the sequential colour map's rising lightness, files each
// format's reader accepts, and the inputs refused.
#include <cairo.h>
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>

#include "plot/section_grid.h"
#include "synthetic_profile.h"

namespace tavrin::plot {
namespace {

struct FieldCase {
  double x, u;
  double expected;  // NaN: outside the hull
};

// Two columns: at x = 0 the values equal u over u in [0, 2]; at x = 2 they
// run 10, 20 (twice, averaged), 30 over u in [1, 3]. Between them the field
// blends the columns at the same relative height: at x = 1, u = 1.5 lies
// halfway down the hull [0.5, 2.5], where the columns hold 1 and 20.
TEST(ColumnField, EqualsTheReadingsAndBlendsColumnsWithinTheirHullOnly) {
  const std::vector<ColumnSample> samples{{0, 0, 0},  {0, 2, 2},  {2, 1, 10}, {2, 2, 18},
                                          {2, 2, 22}, {2, 3, 30}, {0, 1, NAN}};
  const ColumnField field(samples);
  const std::vector<FieldCase> cases{
      {0, 0, 0},      {0, 2, 2},      {0, 1, 1},     {2, 2, 20},       {2, 3, 30},
      {1, 1.5, 10.5}, {1, 0.5, 5},    {1, 2.5, 16},  {0.5, 1, 4.9375}, {1, 0.4, NAN},
      {1, 2.6, NAN},  {-0.1, 1, NAN}, {2.1, 2, NAN}, {0, 2.1, NAN},
  };
  for (const FieldCase& c : cases) {
    SCOPED_TRACE(testing::Message() << "x " << c.x << ", u " << c.u);
    if (std::isnan(c.expected)) {
      EXPECT_TRUE(std::isnan(field.At(c.x, c.u)));
      EXPECT_FALSE(std::isnan(field.AtClamped(c.x, c.u)));
    } else {
      EXPECT_NEAR(field.At(c.x, c.u), c.expected, 1e-12);
    }
  }
  EXPECT_EQ(field.Outline().size(), 4u);
}

// The made-up profile's field takes every reading's value at the reading and
// stays within the readings' least and greatest value everywhere.
TEST(ColumnField, HoldsEveryReadingOfAProfileAndNeverOvershoots) {
  std::vector<ColumnSample> samples;
  for (const ProfileReading& r : testing_profile::Pseudo(false).readings) {
    samples.push_back({r.x, std::log10(r.ab2), std::log10(r.observed)});
  }
  const ColumnField field(samples);
  double low = INFINITY, high = -INFINITY;
  for (const ColumnSample& s : samples) {
    EXPECT_NEAR(field.At(s.x, s.u), s.value, 1e-12);
    low = std::min(low, s.value);
    high = std::max(high, s.value);
  }
  for (double x = -5; x <= 230; x += 3.7) {
    for (double u = 0; u <= 2.3; u += 0.05) {
      const double v = field.At(x, u);
      if (!std::isnan(v)) {
        EXPECT_TRUE(v >= low && v <= high) << x << ", " << u;
      }
    }
  }
}

struct ContourCase {
  std::string name;
  std::vector<double> values;  // 2 by 2 nodes, row by row: (0,0) (1,0) (0,1) (1,1)
  double level;
  std::vector<Segment> expected;  // either end first
};

// Crossings at the linear interpolate along each edge; saddles joined by
// the cell's mean; no contour in a cell with a NaN corner.
TEST(ContourSegments, CrossEachEdgeWhereTheLevelLies) {
  const std::vector<ContourCase> cases{
      {"across", {10, 30, 10, 30}, 15, {{{0.25, 0}, {0.25, 1}}}},
      {"down", {0, 0, 4, 4}, 3, {{{0, 0.75}, {1, 0.75}}}},
      {"corner", {0, 0, 0, 8}, 2, {{{1, 0.25}, {0.25, 1}}}},
      {"saddle, mean below", {4, 0, 0, 4}, 3, {{{0, 0.25}, {0.25, 0}}, {{1, 0.75}, {0.75, 1}}}},
      {"saddle, mean above", {4, 0, 0, 4}, 1, {{{0.75, 0}, {1, 0.25}}, {{0.25, 1}, {0, 0.75}}}},
      {"no value", {10, 30, NAN, 30}, 15, {}},
      {"level above all", {10, 30, 10, 30}, 40, {}},
  };
  const auto same = [](const Segment& s, const Segment& t) {
    const auto near = [](Point p, Point q) {
      return std::abs(p.x - q.x) < 1e-12 && std::abs(p.y - q.y) < 1e-12;
    };
    return (near(s.a, t.a) && near(s.b, t.b)) || (near(s.a, t.b) && near(s.b, t.a));
  };
  for (const ContourCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<Segment> found = ContourSegments({2, 2, c.values}, c.level);
    ASSERT_EQ(found.size(), c.expected.size());
    for (const Segment& e : c.expected) {
      EXPECT_TRUE(
          std::any_of(found.begin(), found.end(), [&](const Segment& f) { return same(e, f); }))
          << "(" << e.a.x << ", " << e.a.y << ") to (" << e.b.x << ", " << e.b.y << ")";
    }
  }
}

// Low resistivities dark, high ones light, and no step back between: the
// colour bar reads one way.
TEST(ColourMaps, SequentialLightnessRisesAllTheWay) {
  double last = -1;
  for (int k = 0; k <= 100; ++k) {
    const Rgb c = ColourAt(kSequentialColours, k / 100.0);
    const double luma = 0.2126 * c.r + 0.7152 * c.g + 0.0722 * c.b;
    EXPECT_GT(luma, last) << "t " << k / 100.0;
    last = luma;
  }
}

std::string TempPath(const std::string& suffix) {
  return testing::TempDir() + "tavrin_profile_" + std::to_string(getpid()) + suffix;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

using Writer = std::function<void(const std::string&)>;

struct FileCase {
  std::string name;
  Writer write;
};

std::vector<FileCase> Figures() {
  return {
      {"pseudo-section",
       [](const std::string& p) { WritePseudoSection(testing_profile::Pseudo(true), p); }},
      {"pseudo-section unfitted",
       [](const std::string& p) { WritePseudoSection(testing_profile::Pseudo(false), p); }},
      {"section",
       [](const std::string& p) { WriteResistivitySection(testing_profile::Section(false), p); }},
      {"section with elevations",
       [](const std::string& p) { WriteResistivitySection(testing_profile::Section(true), p); }},
      // Stations of one reading and of one, two or three layers: columns and
      // boundaries that do not continue to the next station.
      {"pseudo-section with a one-reading station",
       [](const std::string& p) {
         PseudoSection s = testing_profile::Pseudo(true);
         std::erase_if(s.readings,
                       [](const ProfileReading& r) { return r.x == 50 && r.ab2 != 10; });
         WritePseudoSection(s, p);
       }},
      {"section of varying layers",
       [](const std::string& p) {
         ResistivitySection s = testing_profile::Section(true);
         s.stations[2].resistivities = {50};
         s.stations[2].thicknesses.clear();
         s.stations[5].resistivities.pop_back();
         s.stations[5].thicknesses.pop_back();
         WriteResistivitySection(s, p);
       }},
  };
}

TEST(ProfileFigures, EachFormatIsReadableByItsReader) {
  for (const FileCase& c : Figures()) {
    SCOPED_TRACE(c.name);
    const std::string svg = TempPath(".svg");
    c.write(svg);
    xmlDocPtr doc = xmlReadFile(svg.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR);
    ASSERT_NE(doc, nullptr);
    EXPECT_STREQ(reinterpret_cast<const char*>(xmlDocGetRootElement(doc)->name), "svg");
    xmlFreeDoc(doc);
    const std::string png = TempPath(".png");
    c.write(png);
    EXPECT_EQ(FileBytes(png).substr(0, 8), "\x89PNG\r\n\x1a\n");
    cairo_surface_t* image = cairo_image_surface_create_from_png(png.c_str());
    EXPECT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
    cairo_surface_destroy(image);
    const std::string pdf = TempPath(".pdf");
    c.write(pdf);
    const std::string bytes = FileBytes(pdf);
    EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
    EXPECT_NE(bytes.find("%%EOF", bytes.size() > 64 ? bytes.size() - 64 : 0), std::string::npos);
    for (const std::string& p : {svg, png, pdf}) std::remove(p.c_str());
  }
}

struct BadCase {
  std::string name;
  std::function<void(PseudoSection&, ResistivitySection&)> spoil;
  std::string path;  // empty: a fresh .svg in the temporary directory
};

// Each spoiled input is refused with one line, before any file is made.
TEST(ProfileFigures, RefuseBadInputWithOneLine) {
  const std::vector<BadCase> cases{
      {"one station",
       [](PseudoSection& p, ResistivitySection& s) {
         p.stations.resize(1);
         s.stations.resize(1);
       },
       ""},
      {"infinite position",
       [](PseudoSection& p, ResistivitySection& s) {
         p.readings[3].x = INFINITY;
         s.stations[2].x = NAN;
       },
       ""},
      {"non-finite values",
       [](PseudoSection& p, ResistivitySection& s) {
         p.readings[5].observed = NAN;
         s.stations[4].resistivities[1] = INFINITY;
       },
       ""},
      {"non-positive AB/2 and thickness",
       [](PseudoSection& p, ResistivitySection& s) {
         p.readings[0].ab2 = 0;
         s.stations[1].thicknesses[0] = -1;
       },
       ""},
      {"modelled infinite, resolved depth NaN",
       [](PseudoSection& p, ResistivitySection& s) {
         p.readings[2].modelled = INFINITY;
         s.stations[0].resolvedDepth = NAN;
       },
       ""},
      {"readings at one position, stations out of order",
       [](PseudoSection& p, ResistivitySection& s) {
         for (ProfileReading& r : p.readings) r.x = 0;
         std::swap(s.stations[3], s.stations[4]);
       },
       ""},
      {"unknown unit",
       [](PseudoSection& p, ResistivitySection& s) { p.lengthUnit = s.lengthUnit = "yd"; }, ""},
      {"layers and thicknesses disagree",
       [](PseudoSection& p, ResistivitySection& s) {
         p.stations.clear();
         s.stations[6].thicknesses.pop_back();
       },
       ""},
      {"unknown extension", [](PseudoSection&, ResistivitySection&) {}, "profile.jpg"},
      {"unwritable file", [](PseudoSection&, ResistivitySection&) {},
       "/nonexistent/tavrin/profile.png"},
  };
  for (const BadCase& c : cases) {
    SCOPED_TRACE(c.name);
    PseudoSection pseudo = testing_profile::Pseudo(true);
    ResistivitySection section = testing_profile::Section(true);
    c.spoil(pseudo, section);
    const std::string path = c.path.empty() ? TempPath(".svg") : c.path;
    for (const Writer& write :
         {Writer([&](const std::string& p) { WritePseudoSection(pseudo, p); }),
          Writer([&](const std::string& p) { WriteResistivitySection(section, p); })}) {
      try {
        write(path);
        ADD_FAILURE() << "no PlotError";
      } catch (const PlotError& e) {
        EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos) << e.what();
      }
      EXPECT_FALSE(std::ifstream(path).good());
    }
  }
}

}  // namespace
}  // namespace tavrin::plot
