// The figure of an inversion: the readings with the fitted model's curve,
// their residuals in a panel below, and the fitted model as a step profile
// with its uncertainty band beside them.
#pragma once

#include <vector>

#include "plot/figure.h"
#include "plot/sounding_figure.h"
#include "sounding/layered_model.h"
#include "sounding/sounding.h"

namespace tavrin::plot {

struct InversionFigureInput {
  std::string title;
  LengthUnit unit = LengthUnit::kFeet;
  const sounding::Sounding* data = nullptr;       // the readings fitted
  std::vector<double> modelled;                   // the model at each reading, in their order
  ModelCurve curve;                               // the model's curve across the readings
  const sounding::LayeredModel* model = nullptr;  // the fitted model
  std::vector<double> resistivityFactors;         // each layer's uncertainty factor
};

Figure InversionFigure(const InversionFigureInput& input);

}  // namespace tavrin::plot
