// Designs the digital linear filters of the forward model and writes their
// table (hankel_filter_table.inc) to stdout.
//
// A filter replaces a Hankel transform at r = 1 by a weighted sum over
// log-spaced abscissae b_i = exp(first + i * step):
//   integral_0^inf f(x) K(x) dx ~ sum_i w_i f(b_i).
// Because the transform is shift invariant in log r, the same weights give the
// transform at any r with f(b_i / r). The kernel is Schlumberger's
// K(x) = x J1(x): rho_a(s) = sum_i w_i T(b_i / s), the ideal array's apparent
// resistivity from the resistivity transform.
// The weights are the least-squares fit to transform pairs known in closed
// form, each sampled densely in its parameter, with the constant input
// (f = 1, transform 1) held nearly exact by a heavily weighted row.
//
// Usage: design_filter [PER_DECADE FIRST_DECADE LAST_DECADE] > table
// (the three numbers, when given, replace the filter's defaults).
#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

// A transform pair with one parameter p > 0: the input f(x; p) and its
// transform at r = 1.
struct TransformPair {
  const char* name;
  std::function<double(double x, double p)> input;
  std::function<double(double p)> transform;
  std::function<double(double p)> scale;  // 1 / the largest |f(x; p)|: rows weigh alike
  double weight;                          // of the pair's rows in the fit
  double lowDecade;                       // p runs over 10^lowDecade .. 10^highDecade
  double highDecade;
};

// Row scales: 1 / the largest input value (x e^(-p x) peaks at 1/(e p),
// x e^(-p x^2) at 1/sqrt(2 e p)), so that every row counts the error relative
// to its input's size. The Gaussians are far narrower in log x than any
// resistivity transform (those are close to sums of exponentials, as the image
// series shows) and cannot be matched as closely at this spacing; they are
// weighed down by kGaussWeight so that they keep the fit smooth without
// costing accuracy on the exponentials.
constexpr double kGaussWeight = 0.01;
double kUnit(double) {
  return 1;
}
double kExpScale(double p) {
  return std::exp(1.0) * p;
}
double kGaussScale(double p) {
  return std::sqrt(2 * std::exp(1.0) * p);
}

// Pairs for K(x) = x J1(x), from the Laplace transforms
//   int e^(-p t) t J1(t) dt = (1 + p^2)^(-3/2),
//   int e^(-p t) t^2 J1(t) dt = 3 p (1 + p^2)^(-5/2),
//   int (1 - e^(-p t)) J1(t) dt = p / sqrt(1 + p^2)   (1 - int e^(-p t) J1(t) dt),
// and the Gaussian moment int t^2 e^(-p t^2) J1(t) dt = e^(-1/(4p)) / (4 p^2).
// The third is the ramp T ~ 1 / lambda of a conductive layer over a resistive
// one, up to p (its largest value) at x -> 0.
double kRampScale(double p) {
  return 1 / p;
}
std::vector<TransformPair> SchlumbergerPairs() {
  return {
      {"(1-exp(-p x))/x", [](double x, double p) { return -std::expm1(-p * x) / x; },
       [](double p) { return p / std::sqrt(1 + p * p); }, kRampScale, 1, -5, 7},
      {"exp(-p x)", [](double x, double p) { return std::exp(-p * x); },
       [](double p) { return std::pow(1 + p * p, -1.5); }, kUnit, 1, -7, 5},
      {"x exp(-p x)", [](double x, double p) { return x * std::exp(-p * x); },
       [](double p) { return 3 * p * std::pow(1 + p * p, -2.5); }, kExpScale, 1, -7, 5},
      {"x exp(-p x^2)", [](double x, double p) { return x * std::exp(-p * x * x); },
       [](double p) { return std::exp(-0.25 / p) / (4 * p * p); }, kGaussScale, kGaussWeight, -6,
       4},
  };
}

struct Design {
  int perDecade;
  double firstDecade;  // log10 of the first abscissa
  double lastDecade;   // log10 of the last abscissa
};

constexpr int kRowsPerDecade = 40;       // fitting samples of each pair's parameter
constexpr int kCheckPerDecade = 97;      // independent samples for the error figure
constexpr double kConstantWeight = 1e4;  // row weight holding sum w_i = 1
// Row weight holding the moments sum w_i b_i^mu to the kernel's
//   M(mu) = integral x^mu x J1(x) dx = 2^(mu+1) Gamma((mu+3)/2) / Gamma((1-mu)/2):
// M(-1) = 1 (the 1 / lambda ramp) and M(1) = 0 (the linear T = rho_N + lambda
// rho_1 h_1 of a resistive layer over a conductive one); M(0) = 1 is the
// constant's row.
constexpr double kMomentWeight = 1e2;
constexpr double kSingularCutoff = 1e-14;  // relative singular value threshold

std::vector<double> Abscissae(const Design& design) {
  const int count =
      static_cast<int>(std::lround((design.lastDecade - design.firstDecade) * design.perDecade)) +
      1;
  std::vector<double> b(static_cast<std::size_t>(count));
  const double step = std::log(10.0) / design.perDecade;
  const double first = design.firstDecade * std::log(10.0);
  for (int i = 0; i < count; ++i) b[static_cast<std::size_t>(i)] = std::exp(first + i * step);
  return b;
}

// Samples of p for one pair, `perDecade` a decade, both ends included.
std::vector<double> Parameters(const TransformPair& pair, int perDecade) {
  std::vector<double> p;
  const int count = static_cast<int>((pair.highDecade - pair.lowDecade) * perDecade);
  for (int k = 0; k <= count; ++k)
    p.push_back(std::pow(10.0, pair.lowDecade + double(k) / perDecade));
  return p;
}

Eigen::VectorXd Fit(const std::vector<TransformPair>& pairs, const std::vector<double>& b) {
  std::vector<std::vector<double>> rows;
  std::vector<double> targets;
  for (const TransformPair& pair : pairs) {
    for (const double p : Parameters(pair, kRowsPerDecade)) {
      std::vector<double> row;
      const double scale = pair.weight * pair.scale(p);
      for (const double x : b) row.push_back(scale * pair.input(x, p));
      rows.push_back(std::move(row));
      targets.push_back(scale * pair.transform(p));
    }
  }
  rows.emplace_back(b.size(), kConstantWeight);
  targets.push_back(kConstantWeight);
  for (const double mu : {-1.0, 1.0}) {
    std::vector<double> row;
    for (const double x : b) row.push_back(kMomentWeight * std::pow(x, mu));
    rows.push_back(std::move(row));
    targets.push_back(mu < 0 ? kMomentWeight : 0);
  }
  Eigen::MatrixXd a(static_cast<Eigen::Index>(rows.size()), static_cast<Eigen::Index>(b.size()));
  Eigen::VectorXd y(static_cast<Eigen::Index>(rows.size()));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    for (std::size_t c = 0; c < b.size(); ++c) a(Eigen::Index(r), Eigen::Index(c)) = rows[r][c];
    y(Eigen::Index(r)) = targets[r];
  }
  Eigen::BDCSVD<Eigen::MatrixXd> svd(a, Eigen::ComputeThinU | Eigen::ComputeThinV);
  svd.setThreshold(kSingularCutoff);
  return svd.solve(y);
}

// The largest error of the filter on one pair, relative to the input's
// largest value, on parameter samples between the fitting ones.
double WorstError(const TransformPair& pair, const std::vector<double>& b,
                  const Eigen::VectorXd& w) {
  double worst = 0;
  for (const double p : Parameters(pair, kCheckPerDecade)) {
    double sum = 0;
    for (std::size_t i = 0; i < b.size(); ++i) sum += w(Eigen::Index(i)) * pair.input(b[i], p);
    worst = std::max(worst, pair.scale(p) * std::abs(sum - pair.transform(p)));
  }
  return worst;
}

void PrintTable(const char* name, const Design& design, const std::vector<TransformPair>& pairs) {
  const std::vector<double> b = Abscissae(design);
  const Eigen::VectorXd w = Fit(pairs, b);
  std::printf("\n// %s: %zu abscissae 10^%g .. 10^%g, %d a decade; worst errors:\n", name, b.size(),
              design.firstDecade, design.lastDecade, design.perDecade);
  double worstExponential = 0;  // over the pairs weighed fully in the fit
  for (const TransformPair& pair : pairs) {
    const double worst = WorstError(pair, b, w);
    std::printf("//   %-16s p 1e%g..1e%g: %.2e\n", pair.name, pair.lowDecade, pair.highDecade,
                worst);
    if (pair.weight == 1) worstExponential = std::max(worstExponential, worst);
  }
  std::printf("// The worst of the fully weighed pairs' errors: the forward model's error\n");
  std::printf("// estimate per unit of the largest |input|.\n");
  std::printf("inline constexpr double k%sFilterError = %.3g;\n", name, worstExponential);
  std::printf("inline constexpr HankelFilter<%zu> k%sFilter{\n", b.size(), name);
  std::printf("    %.17g,  // log of the first abscissa\n", design.firstDecade * std::log(10.0));
  std::printf("    %.17g,  // log step\n    {{\n", std::log(10.0) / design.perDecade);
  for (std::size_t i = 0; i < b.size(); ++i) {
    std::printf("        {%.17g, %.17g},\n", b[i], w(Eigen::Index(i)));
  }
  std::printf("    }}};\n");
}

Design ParseDesign(int argc, char** argv, Design design) {
  if (argc == 4) {
    design.perDecade = std::atoi(argv[1]);
    design.firstDecade = std::atof(argv[2]);
    design.lastDecade = std::atof(argv[3]);
  }
  return design;
}

}  // namespace

int main(int argc, char** argv) {
  // The finite array is made from the ideal one (sounding/forward_paths.h),
  // so the Schlumberger filter is the only one.
  // Twelve abscissae a decade hold the pairs below 1e-8 of their largest
  // input (nine: 7e-7, ten: 1.2e-7).
  const Design schlumberger = ParseDesign(argc, argv, {12, -2, 3});
  std::printf("// Digital linear filters of the forward model, written by design_filter\n");
  std::printf("// (sounding/design/design_filter.cpp, which states the method and pairs).\n");
  std::printf("// Fit: %d samples a decade of each pair's parameter, constant-input row\n",
              kRowsPerDecade);
  std::printf(
      "// weight %g, Gaussian rows weight %g, singular values below %g relative\n"
      "// dropped. Worst errors relative to the input's largest value.\n",
      kConstantWeight, kGaussWeight, kSingularCutoff);
  PrintTable("Schlumberger", schlumberger, SchlumbergerPairs());
  return 0;
}
