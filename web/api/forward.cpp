// forward and forward_curve: a layered model's apparent resistivities as
// `tavrin forward` computes them, at given spacings (with the misfit of
// observed values as the inversion states it) or along a log-spaced range.
#include <cmath>

#include "api_json.h"
#include "cli/forward_values.h"
#include "cli/invert_output.h"
#include "cli/survey_options.h"
#include "inversion/inversion.h"
#include "web/api.h"

namespace tavrin::web {

namespace {

constexpr int kMaxCurvePoints = 10000;

// "model": {"rho": [...], "thickness": [...]}, every value above 0.
sounding::LayeredModel ModelOf(const Json& in) {
  const auto field = in.find("model");
  if (field == in.end() || !field->is_object()) {
    throw cli::UsageError("\"model\" must be an object {\"rho\": [...], \"thickness\": [...]}");
  }
  sounding::LayeredModel model{NumberList(*field, "rho"), NumberList(*field, "thickness")};
  cli::CheckLayerCount(model);
  if (model.thickness.size() + 1 != model.resistivity.size()) {
    throw cli::UsageError("the model needs one thickness less than resistivities (here " +
                          std::to_string(model.thickness.size()) + " and " +
                          std::to_string(model.resistivity.size()) + ")");
  }
  for (const std::vector<double>* values : {&model.resistivity, &model.thickness}) {
    for (const double value : *values) {
      if (!(value > 0 && std::isfinite(value))) {
        throw cli::UsageError("the model's values must be positive numbers");
      }
    }
  }
  return model;
}

// An optional list of one value per AB/2.
std::vector<double> PerSpacing(const Json& in, const char* name, std::size_t count) {
  std::vector<double> values = NumberList(in, name);
  if (!values.empty() && values.size() != count) {
    throw cli::UsageError(std::string("\"") + name + "\" must have one value per AB/2");
  }
  return values;
}

Json PathName(sounding::ForwardPath path) {
  switch (path) {
    case sounding::ForwardPath::kFilter:
      return "filter";
    case sounding::ForwardPath::kTwoLayer:
      return "two_layer";
    case sounding::ForwardPath::kIntegration:
      return "integration";
  }
  return nullptr;
}

// Each datum's value by forward's path, its trust and the warnings.
struct Values {
  std::vector<double> rho;
  Json trusted = Json::array(), paths = Json::array(), warnings = Json::array();
};

Values ValuesAt(const sounding::LayeredModel& model, const std::vector<inversion::Datum>& data,
                bool exact) {
  Values values;
  for (const inversion::Datum& d : data) {
    const sounding::ForwardResult result = cli::ForwardValue(model, d.ab2, d.mn2, exact);
    values.rho.push_back(result.value);
    values.trusted.push_back(result.trusted);
    values.paths.push_back(PathName(result.path));
    if (!result.trusted) values.warnings.push_back(cli::UntrustedWarning(d.ab2, result));
  }
  return values;
}

}  // namespace

std::string Forward(std::string_view json) {
  return Guarded([json] {
    const Json in = ParseObject(json);
    const sounding::LayeredModel model = ModelOf(in);
    const std::vector<double> ab2 = NumberList(in, "ab2");
    if (ab2.empty()) throw cli::UsageError("\"ab2\" must be a non-empty array of numbers");
    const std::vector<double> mn2 = PerSpacing(in, "mn2", ab2.size());
    const std::vector<double> observed = PerSpacing(in, "observed", ab2.size());
    const std::vector<double> errors = PerSpacing(in, "errors", ab2.size());
    // The readings as the inversion takes them: a finite array where MN/2 is
    // above 1 % of AB/2, each observed value with its own error.
    std::vector<sounding::Reading> readings;
    for (std::size_t k = 0; k < ab2.size(); ++k) {
      sounding::Reading r{};
      r.ab2 = ab2[k];
      r.mn2 = mn2.empty() ? NAN : mn2[k];
      r.rho = observed.empty() ? NAN : observed[k];
      r.error = errors.empty() ? NAN : errors[k];
      if (!(r.ab2 > 0 && std::isfinite(r.ab2))) {
        throw cli::UsageError("AB/2 " + cli::ShortestText(r.ab2) + " must be above 0");
      }
      if (!std::isnan(r.mn2) && !(r.mn2 >= 0 && r.mn2 < r.ab2)) {
        throw cli::UsageError("MN/2 " + cli::ShortestText(r.mn2) + " must be from 0 to below " +
                              "its AB/2 (" + cli::ShortestText(r.ab2) + ")");
      }
      if (!observed.empty() && !(r.rho > 0 && std::isfinite(r.rho))) {
        throw cli::UsageError("every observed value must be a positive number");
      }
      readings.push_back(r);
    }
    const std::vector<inversion::Datum> data = inversion::DataOf(readings);
    Values values = ValuesAt(model, data, FlagField(in, "exact"));
    Json out = {{"rho_a", Numbers(values.rho)},     {"trusted", std::move(values.trusted)},
                {"paths", std::move(values.paths)}, {"warnings", std::move(values.warnings)},
                {"rms_percent", nullptr},           {"chi2", nullptr}};
    if (!observed.empty()) {
      double errorPercent = 100 * inversion::kDefaultRelativeError;
      const std::string error = ArgumentField(in, "error_percent");
      if (!error.empty()) errorPercent = cli::ParseDoubleArgument(error, "error_percent");
      const inversion::Misfit misfit = inversion::MisfitOf(data, values.rho, errorPercent / 100);
      Json residuals = Json::array();
      for (std::size_t k = 0; k < data.size(); ++k) {
        residuals.push_back(Number(cli::ResidualPercent(data[k].rho, values.rho[k])));
      }
      out["residual_percent"] = std::move(residuals);
      out["rms_percent"] = Number(misfit.rmsPercent);
      out["chi2"] = Number(misfit.chi2);
    }
    return out;
  });
}

std::string ForwardCurve(std::string_view json) {
  return Guarded([json] {
    const Json in = ParseObject(json);
    const sounding::LayeredModel model = ModelOf(in);
    const double low = NumberField(in, "ab2_min").value_or(NAN);
    const double high = NumberField(in, "ab2_max").value_or(NAN);
    const double mn2 = NumberField(in, "mn2").value_or(0);
    const double count = NumberField(in, "count").value_or(60);
    if (!(low > 0 && high > low && std::isfinite(high))) {
      throw cli::UsageError("\"ab2_min\" and \"ab2_max\" must be numbers, 0 < ab2_min < ab2_max");
    }
    if (!(count >= 2 && count <= kMaxCurvePoints && count == std::floor(count))) {
      throw cli::UsageError("\"count\" must be a whole number from 2 to 10000");
    }
    if (!(mn2 >= 0 && mn2 < low)) throw cli::UsageError("\"mn2\" must be from 0 to below ab2_min");
    const std::vector<double> ab2 = cli::LogSpacing(low, high, static_cast<int>(count) - 1);
    std::vector<inversion::Datum> data;
    for (const double spacing : ab2) data.push_back({spacing, mn2, 0});
    Values values = ValuesAt(model, data, false);
    return Json{{"ab2", Numbers(ab2)},
                {"rho_a", Numbers(values.rho)},
                {"trusted", std::move(values.trusted)},
                {"warnings", std::move(values.warnings)}};
  });
}

}  // namespace tavrin::web
