// RunCalculator: builds the calculator window from its layout tables, shows it
// modally and returns 0 when the window has ended.
#include <array>
#include <cstdint>
#include <span>

#include "app/calculator.h"
#include "calculator_state.h"
#include "dialog/engine.h"
#include "runtime/errors.h"
#include "runtime/text_value.h"

namespace tavrin {
namespace {

using calculator::ProgramValues;

// A constant text as a borrowed reference, usable in constant tables.
template <std::size_t N>
constexpr TextRef Ref(const ConstText<N>& text) {
  return text.count == 0 ? TextRef() : TextRef(text.bytes);
}

// --- Window ------------------------------------------------------------------

constexpr ConstText kFontFace("tahoma");
constexpr std::int32_t kFontPoints = 10;
constexpr ConstText kCaption("TAVRIN Schlumberger");
constexpr std::int32_t kWindowX = 100;  // dialog units, like the rest of the geometry
constexpr std::int32_t kWindowY = 50;
constexpr std::int32_t kWindowWidth = 110;
constexpr std::int32_t kWindowHeight = 100;
constexpr std::uint32_t kWindowStyle = 0;  // the engine adds its own
constexpr std::uint32_t kWindowExStyle = 0;

// --- Default inputs ----------------------------------------------------------

constexpr ConstText kDefaultN("1");
constexpr ConstText kDefaultA("50");
constexpr ConstText kDefaultV("2.0");
constexpr ConstText kDefaultI("2.0");

// --- Controls ----------------------------------------------------------------

constexpr std::uint32_t kReadOnlyStyle = 0x0800;      // ES_READONLY
constexpr std::uint32_t kClientEdgeExStyle = 0x0200;  // WS_EX_CLIENTEDGE
constexpr std::int32_t kLabelId = -1;                 // labels share one id

constexpr ConstText kLabelN("n");
constexpr ConstText kLabelA("a");
constexpr ConstText kLabelV("v");
constexpr ConstText kLabelI("i");
constexpr ConstText kLabelRho("Rho");
constexpr ConstText kUnitN("--");
constexpr ConstText kUnitA("FT");
constexpr ConstText kUnitV("Volts");
constexpr ConstText kUnitI("Amps");
constexpr ConstText kUnitRho("OHM-FT");
constexpr ConstText kCalc("CALC");
constexpr ConstText kDone("DONE");

// One control of the window. Its text is either a constant or, for the text
// boxes, the current value of a program-wide text.
struct ControlRow {
  ControlKind kind;
  std::int32_t id;
  TextRef caption;                     // used when `variable` is null
  TextValue ProgramValues::*variable;  // the program-wide text it shows
  std::int32_t x, y, width, height;    // dialog units
  std::uint32_t style;
  std::uint32_t exStyle;
  ControlCallback handler;
};

constexpr ControlKind kLabel = ControlKind::Label;
constexpr ControlKind kBox = ControlKind::TextBox;
constexpr ControlKind kButton = ControlKind::Button;

// The controls in creation order: names in the left column, units in the
// right one, boxes in the middle, the two buttons stacked below.
const std::array<ControlRow, 17> kControls = {{
    {kLabel, kLabelId, Ref(kLabelN), nullptr, 10, 5, 30, 10, 0, 0, nullptr},
    {kLabel, kLabelId, Ref(kLabelA), nullptr, 10, 15, 30, 10, 0, 0, nullptr},
    {kLabel, kLabelId, Ref(kLabelV), nullptr, 10, 25, 30, 10, 0, 0, nullptr},
    {kLabel, kLabelId, Ref(kLabelI), nullptr, 10, 35, 30, 10, 0, 0, nullptr},
    {kLabel, kLabelId, Ref(kLabelRho), nullptr, 10, 55, 30, 10, 0, 0, nullptr},
    {kLabel, kLabelId, Ref(kUnitN), nullptr, 70, 5, 30, 10, 0, 0, nullptr},
    {kLabel, kLabelId, Ref(kUnitA), nullptr, 70, 15, 30, 10, 0, 0, nullptr},
    {kLabel, kLabelId, Ref(kUnitV), nullptr, 70, 25, 30, 10, 0, 0, nullptr},
    {kLabel, kLabelId, Ref(kUnitI), nullptr, 70, 35, 30, 10, 0, 0, nullptr},
    {kLabel, kLabelId, Ref(kUnitRho), nullptr, 70, 55, 30, 10, 0, 0, nullptr},
    {kBox, 101, {}, &ProgramValues::n, 40, 5, 25, 10, 0, kClientEdgeExStyle, nullptr},
    {kBox, 102, {}, &ProgramValues::a, 40, 15, 25, 10, 0, kClientEdgeExStyle, nullptr},
    {kBox, 103, {}, &ProgramValues::v, 40, 25, 25, 10, 0, kClientEdgeExStyle, nullptr},
    {kBox, 104, {}, &ProgramValues::i, 40, 35, 25, 10, 0, kClientEdgeExStyle, nullptr},
    {kBox,
     106,
     {},
     &ProgramValues::result,
     40,
     55,
     25,
     10,
     kReadOnlyStyle,
     kClientEdgeExStyle,
     nullptr},
    {kButton, 107, Ref(kCalc), nullptr, 35, 75, 30, 10, 0, 0, OnCalc},
    {kButton, 108, Ref(kDone), nullptr, 35, 85, 30, 10, 0, 0, OnDone},
}};

// Labels and text boxes come before the colours are set, the buttons after.
constexpr std::size_t kFirstButtonRow = 15;

// Colours 0x00BBGGRR.
constexpr std::int32_t kRed = 0x0000FF;
constexpr std::int32_t kBlue = 0xFF0000;
constexpr std::int32_t kWhite = 0xFFFFFF;

struct ColorRow {
  std::int32_t id;
  std::int32_t textColor;
  std::int32_t backColor;
};

// Inputs red on white, the result blue on white.
constexpr std::array<ColorRow, 5> kColors = {{
    {101, kRed, kWhite},
    {102, kRed, kWhite},
    {103, kRed, kWhite},
    {104, kRed, kWhite},
    {106, kBlue, kWhite},
}};

// Adds the controls of rows [first, last) to `dialog`.
void AddControls(const ProgramValues& values, HWND dialog, std::size_t first, std::size_t last) {
  for (std::size_t row = first; row < last; ++row) {
    const ControlRow& c = kControls[row];
    const TextRef text = c.variable != nullptr ? (values.*c.variable).ref() : c.caption;
    ControlAdd(c.kind, TextRef(), dialog, c.id, text, {}, c.x, c.y, c.width, c.height, c.style,
               c.exStyle, c.handler);
  }
}

}  // namespace

std::int32_t RunCalculator(HINSTANCE /*instance*/, std::int32_t /*previous*/,
                           const char* /*commandTail*/, std::int32_t /*showState*/) {
  RoutineFrame frame;
  ProgramValues& values = calculator::Program();
  values.modalResult = 0;  // the texts were emptied by start-up

  DialogSetDefaultFont(Ref(kFontFace), kFontPoints);
  values.dialog = DialogNew(Units, nullptr, Ref(kCaption), kWindowX, kWindowY, kWindowWidth,
                            kWindowHeight, kWindowStyle, kWindowExStyle);

  values.n.Assign(Ref(kDefaultN));
  values.a.Assign(Ref(kDefaultA));
  values.v.Assign(Ref(kDefaultV));
  values.i.Assign(Ref(kDefaultI));

  AddControls(values, values.dialog, 0, kFirstButtonRow);
  for (const ColorRow& c : kColors) {
    ControlSetColor(values.dialog, c.id, c.textColor, c.backColor);
  }
  AddControls(values, values.dialog, kFirstButtonRow, kControls.size());

  DialogShowModal(values.dialog, nullptr, &values.modalResult);
  return 0;
}

}  // namespace tavrin
