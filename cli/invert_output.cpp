// Writing an inversion's result as CSV or JSON. Numbers have six significant
// digits (the data are good to a few percent at best); a factor that is
// infinite (a parameter the data do not constrain at all) prints as "inf" in
// CSV and null in JSON, and a value that does not exist (the half-space's
// thickness) as an empty field or null.
#include "cli/invert_output.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "sounding/csv.h"

namespace tavrin::cli {

namespace {

using inversion::Estimate;
using inversion::WarningKind;

struct WarningName {
  WarningKind kind;
  std::string_view name;
};
constexpr std::array kWarningNames{
    WarningName{WarningKind::kPoorFit, "poor_fit"},
    WarningName{WarningKind::kNotResolved, "not_resolved"},
    WarningName{WarningKind::kConductanceOnly, "conductance_only"},
    WarningName{WarningKind::kTransverseResistanceOnly, "transverse_resistance_only"},
    WarningName{WarningKind::kNotConverged, "not_converged"},
};

std::string_view NameOf(WarningKind kind) {
  for (const WarningName& w : kWarningNames) {
    if (w.kind == kind) return w.name;
  }
  return "warning";
}

// Six significant digits; "" for NaN, "inf" for infinity.
std::string Number(double value) {
  if (std::isnan(value)) return {};
  char text[32];
  std::snprintf(text, sizeof text, "%.6g", value);
  return text;
}

// The same for JSON: null for NaN and infinity.
std::string JsonNumber(double value) {
  return std::isfinite(value) ? Number(value) : "null";
}

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (static_cast<unsigned char>(c) < 0x20) {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04x", c);
      out += escape;
    } else {
      out += c;
    }
  }
  return out + '"';
}

std::string_view UnitName(plot::LengthUnit unit) {
  return unit == plot::LengthUnit::kFeet ? "ft" : "m";
}

int ChosenLayers(const InversionReport& report) {
  return static_cast<int>(report.fit.layers.size());
}

// A JSON object from name / already-formatted value pairs.
using Members = std::vector<std::pair<std::string_view, std::string>>;
std::string JsonObject(const Members& members) {
  std::string out = "{";
  for (const auto& [name, value] : members) {
    if (out.size() > 1) out += ',';
    out += JsonString(name) + ':' + value;
  }
  return out + '}';
}

template <typename T, typename F>
std::string JsonArray(const std::vector<T>& items, F member) {
  std::string out = "[";
  for (const T& item : items) {
    if (out.size() > 1) out += ',';
    out += member(item);
  }
  return out + ']';
}

double SegmentMn2(const InversionReport& report, std::size_t segment) {
  return segment < report.segmentMn2.size() ? report.segmentMn2[segment] : NAN;
}

}  // namespace

std::string InversionCsv(const InversionReport& report) {
  const inversion::Fit& fit = report.fit;
  std::string out;
  if (!report.trials.empty()) {
    out += "layers,parameters,chi2,chi2_per_dof,rms_percent,bic,chosen\n";
    for (const inversion::LayerTrial& t : report.trials) {
      out += std::to_string(t.layers) + ',' + std::to_string(2 * t.layers - 1) + ',' +
             Number(t.chi2) + ',' + Number(t.chi2PerDof) + ',' + Number(t.rmsPercent) + ',' +
             Number(t.bic) + ',' + (t.layers == ChosenLayers(report) ? "1" : "0") + '\n';
    }
    out += '\n';
  }
  out += "layer,rho,rho_factor,thickness,thickness_factor,top,top_factor\n";
  for (std::size_t j = 0; j < fit.layers.size(); ++j) {
    const inversion::LayerEstimate& l = fit.layers[j];
    out += std::to_string(j + 1);
    for (const Estimate& e : {l.resistivity, l.thickness, l.top}) {
      out += ',' + Number(e.value) + ',' + Number(e.factor);
    }
    out += '\n';
  }
  out += "\nrms_percent,chi2_per_dof,dof,readings,iterations,starts,error_percent\n";
  out += Number(fit.rmsPercent) + ',' + Number(fit.chi2PerDof) + ',' + std::to_string(fit.dof) +
         ',' + std::to_string(report.readings) + ',' + std::to_string(fit.iterations) + ',' +
         std::to_string(fit.starts) + ',' + Number(report.errorPercent);
  if (!fit.shifts.empty()) {
    out += "\n\nsegment,mn2,shift,shift_factor";
    for (std::size_t s = 0; s < fit.shifts.size(); ++s) {
      out += '\n' + std::to_string(s + 1) + ',' + Number(SegmentMn2(report, s)) + ',' +
             Number(fit.shifts[s].value) + ',' + Number(fit.shifts[s].factor);
    }
  }
  if (!fit.warnings.empty()) {
    out += "\n\nwarning";
    for (const inversion::Warning& w : fit.warnings) {
      out += '\n';
      sounding::AppendCsvField(out, w.text);
    }
  }
  return out;
}

std::string InversionJson(const InversionReport& report) {
  const inversion::Fit& fit = report.fit;
  const auto layer = [](const inversion::LayerEstimate& l) {
    return JsonObject({{"rho", JsonNumber(l.resistivity.value)},
                       {"rho_factor", JsonNumber(l.resistivity.factor)},
                       {"thickness", JsonNumber(l.thickness.value)},
                       {"thickness_factor", JsonNumber(l.thickness.factor)},
                       {"top", JsonNumber(l.top.value)},
                       {"top_factor", JsonNumber(l.top.factor)}});
  };
  const auto warning = [](const inversion::Warning& w) {
    return JsonObject({{"kind", JsonString(NameOf(w.kind))},
                       {"layer", std::to_string(w.layer)},
                       {"value", JsonNumber(w.value.value)},
                       {"factor", JsonNumber(w.value.factor)},
                       {"text", JsonString(w.text)}});
  };
  Members members{
      {"units", JsonString(UnitName(report.unit))},
      {"layers", JsonArray(fit.layers, layer)},
      {"fit", JsonObject({{"rms_percent", JsonNumber(fit.rmsPercent)},
                          {"chi2_per_dof", JsonNumber(fit.chi2PerDof)},
                          {"dof", std::to_string(fit.dof)},
                          {"readings", std::to_string(report.readings)},
                          {"iterations", std::to_string(fit.iterations)},
                          {"starts", std::to_string(fit.starts)},
                          {"error_percent", JsonNumber(report.errorPercent)}})},
      {"warnings", JsonArray(fit.warnings, warning)},
  };
  if (!fit.shifts.empty()) {
    std::vector<std::size_t> segments(fit.shifts.size());
    for (std::size_t s = 0; s < segments.size(); ++s) segments[s] = s;
    const auto shift = [&](std::size_t s) {
      return JsonObject({{"segment", std::to_string(s + 1)},
                         {"mn2", JsonNumber(SegmentMn2(report, s))},
                         {"shift", JsonNumber(fit.shifts[s].value)},
                         {"factor", JsonNumber(fit.shifts[s].factor)}});
    };
    members.push_back({"shifts", JsonArray(segments, shift)});
  }
  if (!report.trials.empty()) {
    const auto trial = [](const inversion::LayerTrial& t) {
      return JsonObject({{"layers", std::to_string(t.layers)},
                         {"chi2", JsonNumber(t.chi2)},
                         {"chi2_per_dof", JsonNumber(t.chi2PerDof)},
                         {"rms_percent", JsonNumber(t.rmsPercent)},
                         {"bic", JsonNumber(t.bic)}});
    };
    members.push_back({"layer_count", JsonObject({{"criterion", JsonString("BIC = chi2 + P ln n")},
                                                  {"chosen", std::to_string(ChosenLayers(report))},
                                                  {"rule", JsonString(inversion::kLayerCountRule)},
                                                  {"trials", JsonArray(report.trials, trial)}})});
  }
  return JsonObject(members);
}

}  // namespace tavrin::cli
