// ParseLeadingReal against bare std::from_chars on the same texts (the rule's
// scan, copy and limits are its whole overhead), and one whole request.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstring>
#include <string>
#include <vector>

#include "estimate/estimate.h"
#include "tests/support/controls_standin.h"
#include "window/resource.h"

namespace {

// Texts from std::from_chars' common syntax, so both sides do the same work.
const std::vector<std::string>& ShortTexts() {
  static const std::vector<std::string> texts = {
      "150", "5.5", "70", "10", "5", "130.25", "0.5", "11", "200", "62.5"};
  return texts;
}

const std::vector<std::string>& LongTexts() {
  static const std::vector<std::string> texts = [] {
    std::vector<std::string> made;
    std::string digits;
    for (int i = 0; i < 259; ++i) digits += static_cast<char>('1' + i % 9);
    made.push_back(digits);
    made.push_back(digits.substr(0, 120) + "." + digits.substr(0, 138));
    made.push_back("0." + std::string(240, '0') + "12345e250");
    made.push_back("3.14159265358979323846264338327950288419716939937510e10");
    return made;
  }();
  return texts;
}

void BM_ParseLeadingReal(benchmark::State& state,
                         const std::vector<std::string>& (*texts)()) {
  const std::vector<std::string>& inputs = texts();
  for (auto _ : state) {
    for (const std::string& text : inputs)
      benchmark::DoNotOptimize(ParseLeadingReal(text.c_str()));
  }
  state.SetItemsProcessed(state.iterations() *
                          static_cast<std::int64_t>(inputs.size()));
}

void BM_FromChars(benchmark::State& state,
                  const std::vector<std::string>& (*texts)()) {
  const std::vector<std::string>& inputs = texts();
  for (auto _ : state) {
    for (const std::string& text : inputs) {
      double value = 0;
      std::from_chars(text.data(), text.data() + text.size(), value);
      benchmark::DoNotOptimize(value);
    }
  }
  state.SetItemsProcessed(state.iterations() *
                          static_cast<std::int64_t>(inputs.size()));
}

// Leading white space and a unit: only the rule handles these in one call.
void BM_ParseLeadingRealFieldText(benchmark::State& state) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(ParseLeadingReal("  70 lb"));
    benchmark::DoNotOptimize(ParseLeadingReal("5'11"));
  }
  state.SetItemsProcessed(state.iterations() * 2);
}

void BM_CalculateFromForm(benchmark::State& state) {
  static StandinDialog dialog;
  ResetStandinDialog(dialog);
  SetStandinText(dialog, IDC_AGE, "30");
  SetStandinText(dialog, IDC_WEIGHT, "150");
  SetStandinText(dialog, IDC_FEET, "5");
  SetStandinText(dialog, IDC_INCHES, "10");
  for (auto _ : state) {
    ClearStandinCalls(dialog);
    CalculateFromForm(&dialog.window);
    benchmark::ClobberMemory();
  }
  if (std::strcmp(FindStandinControl(dialog, IDC_RESULT)->text, "2017") != 0)
    state.SkipWithError("wrong estimate");
}

}  // namespace

BENCHMARK_CAPTURE(BM_ParseLeadingReal, short, ShortTexts);
BENCHMARK_CAPTURE(BM_FromChars, short, ShortTexts);
BENCHMARK_CAPTURE(BM_ParseLeadingReal, long, LongTexts);
BENCHMARK_CAPTURE(BM_FromChars, long, LongTexts);
BENCHMARK(BM_ParseLeadingRealFieldText);
BENCHMARK(BM_CalculateFromForm);

BENCHMARK_MAIN();
