// Writing an inversion's result as CSV or JSON (nlohmann-json). Numbers have
// six significant digits (the data are good to a few percent at best); a
// factor the data do not bound (the prior's spread, or not determined) is
// "unresolved" in both, and a value that does not exist (the half-space's
// thickness) is an empty field or null.
#include "cli/invert_output.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <string_view>

#include "json_numbers.h"
#include "sounding/csv.h"

namespace tavrin::cli {

namespace {

using inversion::Estimate;
using inversion::WarningKind;

constexpr std::string_view kUnresolved = "unresolved";

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

// A factor: its number, or "unresolved" where the data do not bound the
// value.
std::string Factor(const Estimate& e) {
  return e.unresolved ? std::string(kUnresolved) : Number(e.factor);
}

nlohmann::ordered_json JsonFactor(const Estimate& e) {
  return e.unresolved ? nlohmann::ordered_json(kUnresolved) : JsonNumber(e.factor);
}

std::string_view UnitName(plot::LengthUnit unit) {
  return unit == plot::LengthUnit::kFeet ? "ft" : "m";
}

int ChosenLayers(const InversionReport& report) {
  return static_cast<int>(report.fit.layers.size());
}

double SegmentMn2(const InversionReport& report, std::size_t segment) {
  return segment < report.segmentMn2.size() ? report.segmentMn2[segment] : NAN;
}

}  // namespace

std::string OutputNumber(double value) {
  return Number(value);
}

std::string OutputFactor(const Estimate& estimate) {
  return Factor(estimate);
}

std::string_view WarningKindName(WarningKind kind) {
  return NameOf(kind);
}

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
      out += ',' + Number(e.value) + ',' + (std::isnan(e.value) ? "" : Factor(e));
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
             Number(fit.shifts[s].value) + ',' +
             (std::isnan(fit.shifts[s].value) ? "" : Factor(fit.shifts[s]));
    }
  }
  out += "\n\nreading,ab2,mn2,observed,modelled,residual_percent";
  for (std::size_t k = 0; k < report.data.size() && k < fit.modelled.size(); ++k) {
    const inversion::Datum& d = report.data[k];
    out += '\n' + std::to_string(k + 1) + ',' + Number(d.ab2) + ',' + Number(d.mn2) + ',' +
           Number(d.rho) + ',' + Number(fit.modelled[k]) + ',' +
           Number(ResidualPercent(d.rho, fit.modelled[k]));
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
  using json = nlohmann::ordered_json;
  const inversion::Fit& fit = report.fit;
  const auto estimate = [](const Estimate& e, const char* name, const char* factor, json& out) {
    out[name] = JsonNumber(e.value);
    out[factor] = std::isnan(e.value) ? json(nullptr) : JsonFactor(e);
  };
  json layers = json::array();
  for (const inversion::LayerEstimate& l : fit.layers) {
    json layer = json::object();
    estimate(l.resistivity, "rho", "rho_factor", layer);
    estimate(l.thickness, "thickness", "thickness_factor", layer);
    estimate(l.top, "top", "top_factor", layer);
    layers.push_back(std::move(layer));
  }
  json warnings = json::array();
  for (const inversion::Warning& w : fit.warnings) {
    warnings.push_back({{"kind", NameOf(w.kind)},
                        {"layer", w.layer},
                        {"value", JsonNumber(w.value.value)},
                        {"factor", JsonNumber(w.value.factor)},
                        {"text", w.text}});
  }
  json readings = json::array();
  for (std::size_t k = 0; k < report.data.size() && k < fit.modelled.size(); ++k) {
    const inversion::Datum& d = report.data[k];
    readings.push_back({{"ab2", JsonNumber(d.ab2)},
                        {"mn2", JsonNumber(d.mn2)},
                        {"observed", JsonNumber(d.rho)},
                        {"modelled", JsonNumber(fit.modelled[k])},
                        {"residual_percent", JsonNumber(ResidualPercent(d.rho, fit.modelled[k]))}});
  }
  json out = {
      {"units", UnitName(report.unit)},
      {"layers", std::move(layers)},
      {"fit",
       {{"rms_percent", JsonNumber(fit.rmsPercent)},
        {"chi2_per_dof", JsonNumber(fit.chi2PerDof)},
        {"dof", fit.dof},
        {"readings", report.readings},
        {"iterations", fit.iterations},
        {"starts", fit.starts},
        {"error_percent", JsonNumber(report.errorPercent)}}},
      {"warnings", std::move(warnings)},
      {"readings", std::move(readings)},
  };
  if (!fit.shifts.empty()) {
    json shifts = json::array();
    for (std::size_t s = 0; s < fit.shifts.size(); ++s) {
      const Estimate& shift = fit.shifts[s];
      shifts.push_back({{"segment", s + 1},
                        {"mn2", JsonNumber(SegmentMn2(report, s))},
                        {"shift", JsonNumber(shift.value)},
                        {"factor", std::isnan(shift.value) ? json(nullptr) : JsonFactor(shift)}});
    }
    out["shifts"] = std::move(shifts);
  }
  if (!report.trials.empty()) {
    out["layer_count"] = LayerCountJson(report.trials, ChosenLayers(report), "BIC = chi2 + P ln n");
  }
  // Bytes that are no UTF-8 (a column name in a Latin-1 sheet) are replaced
  // rather than ending the output with an exception.
  return out.dump(-1, ' ', false, json::error_handler_t::replace);
}

double ResidualPercent(double observed, double modelled) {
  return 100 * (observed - modelled) / observed;
}

nlohmann::ordered_json JsonNumber(double value) {
  if (!std::isfinite(value)) return nullptr;
  return std::strtod(Number(value).c_str(), nullptr);
}

nlohmann::ordered_json LayerCountJson(std::span<const inversion::LayerTrial> trials, int chosen,
                                      std::string_view criterion) {
  nlohmann::ordered_json list = nlohmann::ordered_json::array();
  for (const inversion::LayerTrial& t : trials) {
    list.push_back({{"layers", t.layers},
                    {"chi2", JsonNumber(t.chi2)},
                    {"chi2_per_dof", JsonNumber(t.chi2PerDof)},
                    {"rms_percent", JsonNumber(t.rmsPercent)},
                    {"bic", JsonNumber(t.bic)}});
  }
  return {{"criterion", criterion},
          {"chosen", chosen},
          {"rule", inversion::kLayerCountRule},
          {"trials", std::move(list)}};
}

}  // namespace tavrin::cli
