// Writing a profile's fit as CSV or JSON, with the numbers as invert writes
// them (six significant digits, "unresolved" for a factor the data do not
// bound, an empty field or null for a value that does not exist).
#include "cli/profile_output.h"

#include <cmath>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "cli/invert_output.h"
#include "json_numbers.h"
#include "sounding/csv.h"

namespace tavrin::cli {

namespace {

using inversion::Estimate;
using json = nlohmann::ordered_json;

json JsonFactor(const Estimate& e) {
  if (std::isnan(e.value)) return nullptr;
  return e.unresolved ? json(OutputFactor(e)) : JsonNumber(e.factor);
}

std::string FactorText(const Estimate& e) {
  return std::isnan(e.value) ? std::string() : OutputFactor(e);
}

int ChosenLayers(const ProfileReport& report) {
  return static_cast<int>(report.fit.fits.front().model.resistivity.size());
}

double ChiPerDof(const ProfileReport& report) {
  const int dof = report.fit.readings - report.fit.parameters;
  return dof > 0 ? report.fit.chi2 / dof : NAN;
}

std::string Field(const std::string& text) {
  std::string out;
  sounding::AppendCsvField(out, text);
  return out;
}

}  // namespace

std::string ProfileCsv(const ProfileReport& report) {
  const std::vector<ProfileSounding>& soundings = report.input->soundings;
  std::string out;
  if (!report.trials.empty()) {
    out += "layers,parameters,chi2,chi2_per_dof,rms_percent,bic,chosen\n";
    for (const inversion::LayerTrial& t : report.trials) {
      out += std::to_string(t.layers) + ',' +
             std::to_string((2 * t.layers - 1) * static_cast<int>(soundings.size())) + ',' +
             OutputNumber(t.chi2) + ',' + OutputNumber(t.chi2PerDof) + ',' +
             OutputNumber(t.rmsPercent) + ',' + OutputNumber(t.bic) + ',' +
             (t.layers == ChosenLayers(report) ? "1" : "0") + '\n';
    }
    out += '\n';
  }
  out +=
      "station,x,elevation,layer,rho,rho_factor,thickness,thickness_factor,depth_top,"
      "elevation_top";
  for (std::size_t k = 0; k < soundings.size(); ++k) {
    const ProfileSounding& s = soundings[k];
    const inversion::Fit& fit = report.fit.fits[k];
    for (std::size_t j = 0; j < fit.layers.size(); ++j) {
      const inversion::LayerEstimate& l = fit.layers[j];
      out += '\n' + Field(s.label) + ',' + OutputNumber(s.x) + ',' + OutputNumber(s.elevation) +
             ',' + std::to_string(j + 1) + ',' + OutputNumber(l.resistivity.value) + ',' +
             FactorText(l.resistivity) + ',' + OutputNumber(l.thickness.value) + ',' +
             FactorText(l.thickness) + ',' + OutputNumber(l.top.value) + ',' +
             OutputNumber(s.elevation - l.top.value);
    }
  }
  out += "\n\nstation,readings,rms_percent,chi2";
  for (std::size_t k = 0; k < soundings.size(); ++k) {
    const inversion::Fit& fit = report.fit.fits[k];
    out += '\n' + Field(soundings[k].label) + ',' + std::to_string(fit.modelled.size()) + ',' +
           OutputNumber(fit.rmsPercent) + ',' + OutputNumber(fit.chi2);
  }
  out += "\n\nsoundings,readings,rms_percent,chi2,chi2_per_dof,iterations,lateral,error_percent\n";
  out += std::to_string(soundings.size()) + ',' + std::to_string(report.fit.readings) + ',' +
         OutputNumber(report.fit.rmsPercent) + ',' + OutputNumber(report.fit.chi2) + ',' +
         OutputNumber(ChiPerDof(report)) + ',' + std::to_string(report.fit.iterations) + ',' +
         OutputNumber(report.lateral) + ',' + OutputNumber(report.errorPercent);
  return out;
}

std::string ProfileJson(const ProfileReport& report) {
  const std::vector<ProfileSounding>& soundings = report.input->soundings;
  json stations = json::array();
  for (std::size_t k = 0; k < soundings.size(); ++k) {
    const ProfileSounding& s = soundings[k];
    const inversion::Fit& fit = report.fit.fits[k];
    json layers = json::array();
    for (const inversion::LayerEstimate& l : fit.layers) {
      layers.push_back({{"rho", JsonNumber(l.resistivity.value)},
                        {"rho_factor", JsonFactor(l.resistivity)},
                        {"thickness", JsonNumber(l.thickness.value)},
                        {"thickness_factor", JsonFactor(l.thickness)},
                        {"depth_top", JsonNumber(l.top.value)},
                        {"elevation_top", JsonNumber(s.elevation - l.top.value)}});
    }
    json warnings = json::array();
    for (const inversion::Warning& w : fit.warnings) {
      warnings.push_back({{"kind", WarningKindName(w.kind)}, {"layer", w.layer}, {"text", w.text}});
    }
    stations.push_back({{"station", s.label},
                        {"file", s.file},
                        {"x", JsonNumber(s.x)},
                        {"elevation", JsonNumber(s.elevation)},
                        {"layers", std::move(layers)},
                        {"readings", fit.modelled.size()},
                        {"rms_percent", JsonNumber(fit.rmsPercent)},
                        {"chi2", JsonNumber(fit.chi2)},
                        {"warnings", std::move(warnings)}});
  }
  json out = {
      {"units", report.unit == sounding::LengthUnit::kFeet ? "ft" : "m"},
      {"stations", std::move(stations)},
      {"fit",
       {{"soundings", soundings.size()},
        {"readings", report.fit.readings},
        {"rms_percent", JsonNumber(report.fit.rmsPercent)},
        {"chi2", JsonNumber(report.fit.chi2)},
        {"chi2_per_dof", JsonNumber(ChiPerDof(report))},
        {"iterations", report.fit.iterations},
        {"lateral", JsonNumber(report.lateral)},
        {"error_percent", JsonNumber(report.errorPercent)}}},
  };
  if (!report.trials.empty()) {
    out["layer_count"] = LayerCountJson(report.trials, ChosenLayers(report),
                                        "BIC = sum over soundings of chi2 + P ln n");
  }
  return out.dump(-1, ' ', false, json::error_handler_t::replace);
}

}  // namespace tavrin::cli
