#include "estimate/estimate.h"

Gender GetGenderFromSelection(std::int32_t selectedIndex) {
  return selectedIndex == GenderMale ? GenderMale : GenderFemale;
}

double GetActivityFactor(std::int32_t selectedIndex) {
  if (selectedIndex < 0 || selectedIndex >= kActivityLevelCount)
    return kActivityLevels[ActivitySedentary].factor;
  return kActivityLevels[selectedIndex].factor;
}
