// Runs every line of the shared decimal corpus: texts from public
// decimal-to-double test suites, with the double the number rule must give
// (expected values made with exact rational arithmetic; see the corpus's
// README).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <string>

#include "estimate/estimate.h"

namespace {

const char* CorpusPath() {
  return CALORIES_SOURCE_DIR "/../shared/testdata/decimal-corpus.tsv";
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// \\ is a backslash and \xHH the byte HH; nothing else is escaped.
bool Unescape(const std::string& escaped, std::string& text) {
  text.clear();
  for (std::size_t i = 0; i < escaped.size(); ++i) {
    if (escaped[i] != '\\') {
      text += escaped[i];
      continue;
    }
    if (i + 1 < escaped.size() && escaped[i + 1] == '\\') {
      text += '\\';
      ++i;
      continue;
    }
    if (i + 3 >= escaped.size() + 0 || escaped[i + 1] != 'x') return false;
    const int high = HexValue(escaped[i + 2]);
    const int low = HexValue(escaped[i + 3]);
    if (high < 0 || low < 0) return false;
    text += static_cast<char>(high * 16 + low);
    i += 3;
  }
  return true;
}

std::uint64_t BitsOf(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

}  // namespace

TEST(DecimalCorpus, EveryTextGivesItsDouble) {
  std::ifstream corpus(CorpusPath());
  ASSERT_TRUE(corpus.good()) << "cannot open " << CorpusPath();
  std::string line, section = "(none)", text;
  int checked = 0, failed = 0;
  while (std::getline(corpus, line)) {
    if (line.rfind("# section: ", 0) == 0) {
      section = line.substr(11);
      continue;
    }
    if (line.empty() || line[0] == '#') continue;
    const std::size_t tab = line.rfind('\t');
    ASSERT_NE(tab, std::string::npos) << line;
    ASSERT_TRUE(Unescape(line.substr(0, tab), text)) << line;
    ASSERT_LE(text.size(), 259u) << line;
    ASSERT_EQ(text.find('\0'), std::string::npos) << line;
    const std::uint64_t expected =
        std::stoull(line.substr(tab + 1), nullptr, 16);
    const double value = ParseLeadingReal(text.c_str());
    ++checked;
    // A negative magnitude below the normal limit may come back as -0.
    const bool negativeZero = expected == 0 && value == 0.0;
    if (BitsOf(value) != expected && !negativeZero) {
      if (++failed <= 20)
        ADD_FAILURE() << section << ": \"" << line.substr(0, tab) << "\" gave "
                      << std::hex << BitsOf(value) << ", expected " << expected;
    }
  }
  EXPECT_EQ(failed, 0);
  EXPECT_GT(checked, 24000);
}
