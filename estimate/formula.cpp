#include <cfloat>

#include "estimate/estimate.h"

// Each step must round once to double. On 32-bit x86 that takes SSE2
// arithmetic (-msse2 -mfpmath=sse); x87 registers would keep extra bits.
static_assert(FLT_EVAL_METHOD == 0, "doubles must be evaluated as doubles");

namespace {

struct FormulaCoefficients {
  double perPound;
  double perInch;
  double perYear;
  double constantTerm;
};

constexpr double kInchesPerFoot = 12.0;
constexpr FormulaCoefficients kMaleFormula = {6.2, 12.7, 6.8, 66.0};
constexpr FormulaCoefficients kFemaleFormula = {4.4, 4.7, 4.7, 655.0};

}  // namespace

// One named value per step so that no step can be fused with, or reordered
// against, the next: the shown number depends on it (e.g. 2399, not 2400).
double EstimateDailyCalories(const EstimateInputs& inputs) {
  const FormulaCoefficients& k =
      inputs.isMale != 0 ? kMaleFormula : kFemaleFormula;
  const double feetInInches = inputs.heightFeet * kInchesPerFoot;
  const double heightInches = feetInInches + inputs.heightInches;
  const double weightTerm = inputs.weightPounds * k.perPound;
  const double heightTerm = heightInches * k.perInch;
  const double bodyTerm = weightTerm + heightTerm;
  const double ageTerm = static_cast<double>(inputs.ageYears) * k.perYear;
  const double lessAge = bodyTerm - ageTerm;
  const double basal = lessAge + k.constantTerm;
  const double activityShare = inputs.activityFactor * basal;
  return basal + activityShare;
}
