// The plot library: axis ranges and labels that never overlap, the sounding
// figure's joined and left-out readings, the inversion figure's note of the
// fit and depth axis, and figure files that their formats' readers accept.
#include <cairo.h>
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "plot/draw.h"
#include "plot/inversion_figure.h"
#include "plot/sounding_figure.h"
#include "plot/ticks.h"
#include "sounding/join.h"

namespace tavrin::plot {
namespace {

struct RangeCase {
  Scale scale;
  double low, high;
  Range range;
  std::vector<std::string> labels;  // the major ticks', exponents after "^"
  std::size_t minors;
};

std::vector<std::string> MajorLabels(const std::vector<Tick>& ticks, std::size_t& minors) {
  std::vector<std::string> labels;
  minors = 0;
  for (const Tick& t : ticks) {
    if (!t.major) ++minors;
    if (!t.label.empty())
      labels.push_back(t.exponent.empty() ? t.label : t.label + "^" + t.exponent);
  }
  return labels;
}

// A tick label's width as drawn at 9 points: about 0.6 em a character, the
// exponent's at 0.7 of the size.
double EstimatedWidth(const Tick& t) {
  constexpr double kCharWidth = 0.6 * 9;
  return kCharWidth *
         (static_cast<double>(t.label.size()) + 0.7 * static_cast<double>(t.exponent.size()));
}

double LabelHeight(const Tick&) {
  return 12;
}

// The number a tick label shows: plain, "10^e" or "m×10^e".
double LabelValue(const Tick& t) {
  if (t.exponent.empty()) return std::stod(t.label);
  const std::size_t times = t.label.find("\u00D7");
  const double mantissa = times == std::string::npos ? 1 : std::stod(t.label.substr(0, times));
  return mantissa * std::pow(10.0, std::stod(t.exponent));
}

TEST(Axes, RangesAndTicks) {
  constexpr double kRoomy = 1000;  // an axis length where every label fits
  const std::vector<RangeCase> cases = {
      {Scale::kLog, 1.5, 12, {1, 100}, {"1", "10", "100"}, 16},
      {Scale::kLog, 10, 100, {10, 100}, {"10", "20", "50", "100"}, 6},
      {Scale::kLog, 20, 30, {10, 100}, {"10", "20", "50", "100"}, 6},
      {Scale::kLog, 0.004, 0.05, {0.001, 0.1}, {"0.001", "0.01", "0.1"}, 16},
      {Scale::kLog, 3e5, 2e6, {1e5, 1e7}, {"100000", "10^6", "10^7"}, 16},
      {Scale::kLog, 1, 0, {1, 10}, {"1", "2", "5", "10"}, 6},  // no data
      {Scale::kLinear, -7, 12, {-10, 15}, {"-10", "-5", "0", "5", "10", "15"}, 0},
      {Scale::kLinear, 0.1, 0.9, {0, 1}, {"0", "0.2", "0.4", "0.6", "0.8", "1"}, 0},
  };
  for (const RangeCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.low) + " to " + std::to_string(c.high));
    Axis axis;
    axis.scale = c.scale;
    const Range range = AxisRange(axis, c.low, c.high);
    EXPECT_DOUBLE_EQ(range.min, c.range.min);
    EXPECT_DOUBLE_EQ(range.max, c.range.max);
    std::size_t minors = 0;
    EXPECT_EQ(MajorLabels(AxisTicks(c.scale, range, kRoomy, EstimatedWidth), minors), c.labels);
    EXPECT_EQ(minors, c.minors);
  }
}

struct CrowdCase {
  Scale scale;
  Range range;
  double length;
  bool vertical;
  std::size_t fewestLabels;
};

// Thinned labels keep their distance, still show at least a few, and each
// says its own tick's value.
TEST(Axes, LabelsNeverOverlap) {
  const std::vector<CrowdCase> cases = {
      {Scale::kLog, {1e-3, 1e8}, 160, false, 3},    {Scale::kLog, {1e-3, 1e8}, 60, false, 2},
      {Scale::kLog, {1e-3, 1e8}, 400, true, 12},    {Scale::kLog, {1e-30, 1e30}, 150, false, 3},
      {Scale::kLog, {1, 1000}, 25, true, 1},        {Scale::kLog, {1, 112.5}, 300, true, 3},
      {Scale::kLog, {20, 45}, 200, false, 2},       {Scale::kLog, {100, 100.5}, 200, false, 2},
      {Scale::kLog, {0.3, 4}, 150, false, 3},       {Scale::kLinear, {100, 100.5}, 120, false, 2},
      {Scale::kLinear, {-1e8, 1e8}, 150, false, 2}, {Scale::kLinear, {1e-3, 1e8}, 100, false, 2},
      {Scale::kLinear, {0, 1e-6}, 100, false, 2},   {Scale::kLinear, {1e9, 1e9 + 1}, 150, false, 2},
      {Scale::kLinear, {-10, 15}, 40, true, 2},     {Scale::kLinear, {0, 1}, 8, true, 1},
  };
  for (const CrowdCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.range.min << " to " << c.range.max << " on " << c.length);
    const LabelExtent extent = c.vertical ? LabelExtent(LabelHeight) : LabelExtent(EstimatedWidth);
    const std::vector<Tick> ticks = AxisTicks(c.scale, c.range, c.length, extent);
    std::vector<const Tick*> labelled;
    for (const Tick& t : ticks) {
      if (t.label.empty()) continue;
      EXPECT_NEAR(LabelValue(t), t.value, 1e-9 * std::abs(t.value)) << t.label << "^" << t.exponent;
      labelled.push_back(&t);
    }
    EXPECT_GE(labelled.size(), c.fewestLabels);
    for (std::size_t k = 1; k < labelled.size(); ++k) {
      const Tick& a = *labelled[k - 1];
      const Tick& b = *labelled[k];
      const double apart =
          (AxisFraction(c.scale, c.range, b.value) - AxisFraction(c.scale, c.range, a.value)) *
          c.length;
      EXPECT_GE(apart, (extent(a) + extent(b)) / 2 + kLabelGap) << a.label << " and " << b.label;
    }
  }
}

// A figure with every kind of series: three MN/2 segments, a curve, a
// three-layer profile.
Figure SampleFigure() {
  static const sounding::Sounding data = sounding::ParseSounding(
      "ab2,mn2,rho\n1.5,0.5,95\n3,0.5,80\n3,1,82\n10,1,40\n10,5,41\n60,5,70\n");
  static const sounding::LayeredModel model{{100, 20, 300}, {2, 10}};
  SoundingFigureInput input;
  input.title = "VES 4";
  input.unit = LengthUnit::kMetres;
  input.data = &data;
  input.curves.push_back({"model", {{1, 100}, {10, 40}, {100, 90}}});
  input.model = &model;
  return SoundingFigure(input);
}

TEST(SoundingFigure, JoinedReadingsShowWhereTheyWereAndLeftOutOnesApart) {
  sounding::Sounding data =
      sounding::ParseSounding("ab2,mn2,rho\n1.5,0.5,95\n3,0.5,80\n3,1,41\n10,1,20\n");
  sounding::ApplyJoin(data, {0, {{0.5, 1, true, 0}, {1, 2, true, 1}}});
  sounding::Reading leftOut = data.readings.front();
  leftOut.ab2 = 6;
  SoundingFigureInput input;
  input.data = &data;
  input.dropped = {&leftOut};
  const Panel panel = SoundingCurvePanel(input);
  ASSERT_EQ(panel.markers.size(), 4u);
  const MarkerSeries& before = panel.markers[2];
  EXPECT_EQ(before.look, MarkerLook::kFaint);
  EXPECT_EQ(before.like, 1);
  EXPECT_EQ(before.label, "before joining");
  ASSERT_EQ(before.points.size(), 2u);
  EXPECT_DOUBLE_EQ(before.points[1].x, 10);
  EXPECT_DOUBLE_EQ(before.points[1].y, 20);
  EXPECT_EQ(panel.markers[1].points[1].y, 40);
  EXPECT_EQ(panel.markers[3].look, MarkerLook::kLeftOut);
  EXPECT_EQ(panel.markers[3].label, "left out");
  ASSERT_EQ(panel.markers[3].points.size(), 1u);
  EXPECT_DOUBLE_EQ(panel.markers[3].points[0].x, 6);
}

struct InversionCase {
  std::string readings;
  std::vector<double> modelled;
  sounding::LayeredModel model;
  double chi2PerDof;
  Range depths;     // the profile's depth axis
  double resolved;  // where its shading starts
  std::vector<std::string> notes;
};

// The note of the fit, and the profile ending kDepthAxisMargin below the
// deeper of half the widest AB/2 and the deepest boundary.
TEST(InversionFigure, NotesTheFitAndEndsDepthsBelowTheResolvedOnes) {
  const std::string spread = "ab2,mn2,rho\n1,0.5,100\n10,0.5,100\n150,5,100\n";
  const std::vector<InversionCase> cases = {
      {spread,
       {105, 95, 100},
       {{10, 100, 30}, {5, 25}},
       1.234,
       {1, 112.5},
       75,
       {"3 layers", "RMS misfit 4.08 %", "\u03C7\u00B2/dof 1.23"}},
      {spread,
       {105, 95, 100},
       {{10, 100, 30}, {20, 180}},
       NAN,
       {1, 300},
       75,
       {"3 layers", "RMS misfit 4.08 %"}},
      {"ab2,mn2,rho\n2,0.5,50\n40,0.5,50\n",
       {50, 50},
       {{50}, {}},
       0.5,
       {1, 30},
       20,
       {"1 layer", "RMS misfit 0 %", "\u03C7\u00B2/dof 0.5"}},
  };
  for (const InversionCase& c : cases) {
    SCOPED_TRACE(c.readings);
    const sounding::Sounding data = sounding::ParseSounding(c.readings);
    InversionFigureInput input;
    input.data = &data;
    input.modelled = c.modelled;
    input.model = &c.model;
    input.chi2PerDof = c.chi2PerDof;
    const Figure figure = InversionFigure(input);
    ASSERT_EQ(figure.columns.size(), 2u);
    EXPECT_EQ(figure.columns[0].panels.front().notes, c.notes);
    const Panel& profile = figure.columns[1].panels.front();
    EXPECT_DOUBLE_EQ(profile.y.min, c.depths.min);
    EXPECT_DOUBLE_EQ(profile.y.max, c.depths.max);
    ASSERT_EQ(profile.yBands.size(), 1u);
    EXPECT_DOUBLE_EQ(profile.yBands[0].from, c.resolved);
    EXPECT_DOUBLE_EQ(profile.yBands[0].to, c.depths.max);
  }
}

std::string TempPath(const std::string& suffix) {
  return testing::TempDir() + "tavrin_plot_" + std::to_string(getpid()) + suffix;
}

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(WriteFigure, SvgIsWellFormedXmlWithAnSvgRoot) {
  const std::string path = TempPath(".svg");
  WriteFigure(SampleFigure(), path);
  xmlDocPtr doc = xmlReadFile(path.c_str(), nullptr, XML_PARSE_NONET | XML_PARSE_NOERROR);
  ASSERT_NE(doc, nullptr);
  const xmlNode* root = xmlDocGetRootElement(doc);
  ASSERT_NE(root, nullptr);
  EXPECT_STREQ(reinterpret_cast<const char*>(root->name), "svg");
  xmlFreeDoc(doc);
  std::remove(path.c_str());
}

TEST(WriteFigure, PngDecodesAtTheFiguresSize) {
  const std::string path = TempPath(".PNG");
  WriteFigure(SampleFigure(), path);
  EXPECT_EQ(FileBytes(path).substr(0, 8), "\x89PNG\r\n\x1a\n");
  cairo_surface_t* image = cairo_image_surface_create_from_png(path.c_str());
  EXPECT_EQ(cairo_surface_status(image), CAIRO_STATUS_SUCCESS);
  EXPECT_EQ(cairo_image_surface_get_width(image), static_cast<int>(kFigureWidth * kPngScale));
  EXPECT_EQ(cairo_image_surface_get_height(image), static_cast<int>(kFigureHeight * kPngScale));
  cairo_surface_destroy(image);
  std::remove(path.c_str());
}

TEST(WriteFigure, PdfHasItsHeaderAndEnd) {
  const std::string path = TempPath(".pdf");
  WriteFigure(SampleFigure(), path);
  const std::string bytes = FileBytes(path);
  EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
  EXPECT_NE(bytes.find("%%EOF", bytes.size() > 64 ? bytes.size() - 64 : 0), std::string::npos);
  std::remove(path.c_str());
}

TEST(WriteFigure, UnknownFormatOrUnwritableFileThrows) {
  for (const std::string& path :
       {TempPath(".jpg"), TempPath(""), std::string("/nonexistent/tavrin/plot.svg"),
        std::string("/nonexistent/tavrin/plot.png"), std::string("/nonexistent/tavrin/plot.pdf")}) {
    SCOPED_TRACE(path);
    EXPECT_THROW(WriteFigure(SampleFigure(), path), PlotError);
  }
}

}  // namespace
}  // namespace tavrin::plot
