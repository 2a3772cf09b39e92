// The browser page's interface to the survey code: each function takes one
// JSON object as text and returns one JSON object as text. A failure is never
// an exception: it is {"error": "one line"}, with whatever partial result
// means something beside it. The fields are described in web/api/README.md.
#pragma once

#include <string>
#include <string_view>

namespace tavrin::web {

// {"n","a","v","i"} typed texts -> {"rho": the text calc prints}.
std::string Calc(std::string_view json);

// A field sheet and the sounding command's options -> its readings, the
// lines left out, notes and warnings, and the CSV sounding prints.
std::string ReadSheet(std::string_view json);

// ReadSheet's input and invert's options -> the object invert --json prints,
// with "read" (ReadSheet's output) and "model_full" (every digit).
std::string Invert(std::string_view json);

// A model and spacings -> its apparent resistivities as forward computes
// them, and with observed values their misfit as the inversion states it.
std::string Forward(std::string_view json);

// A model and an AB/2 range -> its curve at log-spaced AB/2.
std::string ForwardCurve(std::string_view json);

// {"version": the tool's version}.
std::string Version(std::string_view json);

// The function named `function` ("calc", "read_sheet", "invert", "forward",
// "forward_curve", "version") of `json`; {"error"} for another name.
std::string Call(std::string_view function, std::string_view json);

}  // namespace tavrin::web
