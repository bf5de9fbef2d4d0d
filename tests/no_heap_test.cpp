// A whole request, success and failure, touches the heap not once. malloc
// and its kin are interposed (operator new reaches them too), so C library
// calls made on the way would be counted as well.
#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "estimate/estimate.h"
#include "tests/support/controls_standin.h"
#include "window/resource.h"

extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);
void* __libc_memalign(std::size_t, std::size_t);
void __libc_free(void*);
}

namespace {
volatile bool g_counting = false;
volatile int g_heapCalls = 0;
void Count() {
  if (g_counting) g_heapCalls = g_heapCalls + 1;
}
}  // namespace

extern "C" {
void* malloc(std::size_t size) {
  Count();
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
  Count();
  return __libc_calloc(count, size);
}
void* realloc(void* block, std::size_t size) {
  Count();
  return __libc_realloc(block, size);
}
void* memalign(std::size_t alignment, std::size_t size) {
  Count();
  return __libc_memalign(alignment, size);
}
void* aligned_alloc(std::size_t alignment, std::size_t size) {
  Count();
  return __libc_memalign(alignment, size);
}
int posix_memalign(void** block, std::size_t alignment, std::size_t size) {
  Count();
  *block = __libc_memalign(alignment, size);
  return *block != nullptr ? 0 : 12;  // ENOMEM
}
void free(void* block) {
  Count();
  __libc_free(block);
}
}

namespace {

int HeapCallsDuring(StandinDialog& dialog) {
  g_heapCalls = 0;
  g_counting = true;
  CalculateFromForm(&dialog.window);
  g_counting = false;
  return g_heapCalls;
}

}  // namespace

TEST(NoHeap, CountingSeesAnAllocation) {
  g_heapCalls = 0;
  g_counting = true;
  std::string* text = new std::string(100, 'x');
  delete text;
  g_counting = false;
  EXPECT_GE(g_heapCalls, 2);
}

TEST(NoHeap, RequestsAllocateNothing) {
  static StandinDialog dialog;
  const char* const weights[] = {"150", "0.5e3", "1e999", "abc",
                                 "2.2250738585072012e-308"};
  std::string longWeight = "1." + std::string(250, '3');
  for (const char* weight : weights) {
    SCOPED_TRACE(weight);
    ResetStandinDialog(dialog);
    SetStandinText(dialog, IDC_AGE, "30");
    SetStandinText(dialog, IDC_WEIGHT, weight);
    SetStandinText(dialog, IDC_FEET, "5");
    SetStandinText(dialog, IDC_INCHES, "10");
    EXPECT_EQ(HeapCallsDuring(dialog), 0);
  }
  ResetStandinDialog(dialog);
  SetStandinText(dialog, IDC_AGE, "30");
  SetStandinText(dialog, IDC_WEIGHT, longWeight.c_str());
  SetStandinText(dialog, IDC_FEET, "5");
  SetStandinText(dialog, IDC_INCHES, "10");
  EXPECT_EQ(HeapCallsDuring(dialog), 0);
  EXPECT_STREQ(FindStandinControl(dialog, IDC_ERROR_TEXT)->text, "");
}
