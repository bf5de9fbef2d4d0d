// The fixed character classes of both text rules: byte values only, never
// the locale or code page.
#ifndef CALORIES_ESTIMATE_CHAR_CLASSES_H
#define CALORIES_ESTIMATE_CHAR_CLASSES_H

inline bool IsRuleSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

inline bool IsRuleDigit(char c) { return c >= '0' && c <= '9'; }

inline const char* SkipRuleSpace(const char* p) {
  while (IsRuleSpace(*p)) ++p;
  return p;
}

#endif
