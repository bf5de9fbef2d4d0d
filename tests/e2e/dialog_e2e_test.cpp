// The real exe, driven through its dialog from another process: keyboard and
// mouse input as a user gives it, and what the controls show read back.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "estimate/estimate.h"
#include "tests/e2e/driver.h"
#include "window/resource.h"

namespace {

// Starts a fresh copy for each test and makes sure none outlives it.
class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(StartProgram(program_, ProgramPath())) << ProgramPath();
    ASSERT_TRUE(Activate(program_));
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(program_) == C(IDC_GENDER); }));
  }
  void TearDown() override { KillProgram(program_); }

  HWND C(int id) const { return Control(program_, id); }

  // Tab into an edit box selects its text, so typing replaces it; an empty
  // text clears it.
  void Enter(int editId, const char* text) {
    FocusOn(editId);
    // Select it all again in case the focus was already there.
    PressKey(VK_HOME);
    PressKey(VK_END, true);
    if (*text == '\0')
      PressKey(VK_DELETE);
    else
      TypeText(text);
  }

  // Moves the focus forwards round the tab ring to the control.
  void FocusOn(int id) {
    const HWND target = C(id);
    for (int i = 0; i < 9 && FocusOf(program_) != target; ++i) {
      const HWND before = FocusOf(program_);
      PressKey(VK_TAB);
      ASSERT_TRUE(WaitUntil([&] { return FocusOf(program_) != before; }));
    }
    ASSERT_EQ(FocusOf(program_), target);
  }

  // Picks a list entry with the arrow keys, as a user would with the list
  // closed.
  void Pick(int listId, int index) {
    FocusOn(listId);
    const HWND list = C(listId);
    PressKey(VK_HOME);
    ASSERT_TRUE(WaitUntil([&] { return SelectionOf(list) == 0; }));
    for (int i = 0; i < index; ++i) {
      PressKey(VK_DOWN);
      ASSERT_TRUE(WaitUntil([&] { return SelectionOf(list) == i + 1; }));
    }
  }

  void Fill(int gender, const char* age, const char* weight, const char* feet,
            const char* inches, int lifestyle) {
    Pick(IDC_GENDER, gender);
    Enter(IDC_AGE, age);
    Enter(IDC_WEIGHT, weight);
    Enter(IDC_FEET, feet);
    Enter(IDC_INCHES, inches);
    Pick(IDC_LIFESTYLE, lifestyle);
  }

  // Presses Enter and waits until the output area shows the expected state.
  bool CalculateExpecting(const std::string& result,
                          const std::string& message) {
    PressKey(VK_RETURN);
    return WaitUntil([&] {
      return TextOf(C(IDC_RESULT)) == result &&
             TextOf(C(IDC_ERROR_TEXT)) == message &&
             IsShown(C(IDC_ERROR_ICON)) == !message.empty();
    });
  }

  void ExpectOutput(const std::string& result, const std::string& message) {
    EXPECT_EQ(TextOf(C(IDC_RESULT)), result);
    EXPECT_EQ(TextOf(C(IDC_ERROR_TEXT)), message);
    EXPECT_EQ(IsShown(C(IDC_ERROR_ICON)), !message.empty());
  }

  RunningProgram program_;
};

std::string LabelOf(HWND list, int index) {
  // Wide across processes: Wine hands the ANSI form of this message over
  // from another process as UTF-16 unconverted.
  wchar_t wide[64] = {};
  SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(wide));
  char label[64] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, -1, label, sizeof label, nullptr,
                      nullptr);
  return label;
}

// The estimate text the core gives, for expectations that vary by input.
std::string ExpectedText(int gender, int age, double weight, double feet,
                         double inches, int lifestyle) {
  EstimateInputs inputs = {};
  inputs.weightPounds = weight;
  inputs.heightFeet = feet;
  inputs.heightInches = inches;
  inputs.ageYears = age;
  inputs.isMale = GetGenderFromSelection(gender) == GenderMale ? 1 : 0;
  inputs.activityFactor = GetActivityFactor(lifestyle);
  char text[kEstimateTextSize];
  FormatEstimate(EstimateDailyCalories(inputs), text, sizeof text);
  return text;
}

}  // namespace

TEST_F(DialogTest, OpensWithListsFilledAndEverythingElseEmpty) {
  const HWND gender = C(IDC_GENDER);
  const HWND lifestyle = C(IDC_LIFESTYLE);
  ASSERT_EQ(SendMessageA(gender, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(LabelOf(gender, 0), "Male");
  EXPECT_EQ(LabelOf(gender, 1), "Female");
  ASSERT_EQ(SendMessageA(lifestyle, CB_GETCOUNT, 0, 0), 4);
  EXPECT_EQ(LabelOf(lifestyle, 0), "Sedentary");
  EXPECT_EQ(LabelOf(lifestyle, 1), "Light Activity");
  EXPECT_EQ(LabelOf(lifestyle, 2), "Moderate Activity");
  EXPECT_EQ(LabelOf(lifestyle, 3), "Very Activity");
  EXPECT_EQ(SelectionOf(gender), 0);
  EXPECT_EQ(SelectionOf(lifestyle), 0);

  for (const int id : {IDC_AGE, IDC_WEIGHT, IDC_FEET, IDC_INCHES})
    EXPECT_EQ(TextOf(C(id)), "") << id;
  ExpectOutput("", "");
  EXPECT_EQ(FocusOf(program_), gender);

  // Text limits, and the warning icon loaded into the hidden indicator.
  // (The window's own icon shows in the caption of the README's screenshot;
  // Wine does not answer WM_GETICON from another process.)
  EXPECT_EQ(SendMessageA(C(IDC_AGE), EM_GETLIMITTEXT, 0, 0), 2);
  for (const int id : {IDC_WEIGHT, IDC_FEET, IDC_INCHES})
    EXPECT_EQ(SendMessageA(C(id), EM_GETLIMITTEXT, 0, 0), 6) << id;
  EXPECT_NE(SendMessageA(C(IDC_ERROR_ICON), STM_GETICON, 0, 0), 0);

  // Centred in the work area.
  RECT work = {}, window = {};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(program_.dialog, &window);
  EXPECT_NEAR((window.left + window.right) / 2, (work.left + work.right) / 2,
              2);
  EXPECT_NEAR((window.top + window.bottom) / 2, (work.top + work.bottom) / 2,
              2);

  PressKey(VK_ESCAPE);
  EXPECT_EQ(WaitForExit(program_), 0);
}

TEST_F(DialogTest, TypingIsLimitedAndAgeTakesDigitsOnly) {
  // Each box is typed into, then left with Tab: by then every key is handled.
  const struct {
    int box;
    const char* typed;
    int next;
    const char* kept;
  } cases[] = {{IDC_AGE, "a1-b2.3", IDC_WEIGHT, "12"},
               {IDC_WEIGHT, "-1.5kgX", IDC_FEET, "-1.5kg"},
               {IDC_FEET, "1234567", IDC_INCHES, "123456"},
               {IDC_INCHES, "5'11\"ab", IDC_LIFESTYLE, "5'11\"a"}};
  FocusOn(IDC_AGE);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    TypeText(c.typed);
    ASSERT_TRUE(TabTo(program_, C(c.next)));
    EXPECT_EQ(TextOf(C(c.box)), c.kept);
  }
}

TEST_F(DialogTest, TabAndShiftTabWalkTheRing) {
  const int ring[] = {IDC_GENDER,    IDC_AGE, IDC_WEIGHT, IDC_FEET, IDC_INCHES,
                      IDC_LIFESTYLE, IDOK,    IDC_RESULT, IDCANCEL, IDC_GENDER};
  for (int i = 1; i < 10; ++i)
    ASSERT_TRUE(TabTo(program_, C(ring[i]))) << "Tab to " << ring[i];
  for (int i = 8; i >= 0; --i)
    ASSERT_TRUE(TabTo(program_, C(ring[i]), true))
        << "Shift+Tab to " << ring[i];
}

TEST_F(DialogTest, WorkedExamplesThroughTheForm) {
  struct Example {
    int gender;
    const char *age, *weight, *feet, *inches;
    int lifestyle;
    const char* text;
  };
  const Example examples[] = {
      {0, "30", "150", "5", "10", 0, "2017"},
      {1, "25", "130", "5", "4", 2, "1974"},
      {0, "44", "140", "6", "4", 3, "2399"},
      {1, "20", "125", "5", "10", 2, "2016"},
      {1, "41", "114", "5", "3", 0, "1512"},
      {0, "99", "20", "1", "11", 0, "-229"},
      {0, "30", "-150", "5", "10", 0, "-214"},
      {0, "48", "1", "1", "8", 0, "0"},
      {0, "46", "1", "1", "7", 0, "0"},
      {0, "30", "1e9", "5", "10", 0, "-1149933691"},
      {0, "30", "1e999", "5", "10", 0, "0"},
      {0, "30", "150", "5", "12", 0, "2047"},
  };
  for (const Example& e : examples) {
    SCOPED_TRACE(e.text);
    Fill(e.gender, e.age, e.weight, e.feet, e.inches, e.lifestyle);
    // Something else first, so that each example's own result is awaited.
    SendMessageA(C(IDC_RESULT), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("-"));
    ASSERT_TRUE(CalculateExpecting(e.text, ""));
  }
}

TEST_F(DialogTest, FirstUnusableFieldIsNamedAndTheEstimateStays) {
  struct Failure {
    const char *age, *weight, *feet, *inches;
    const char* message;
  };
  const Failure failures[] = {
      {"", "150", "5", "10", "Parameter 'Age' is invalid"},
      {"0", "0", "0", "0", "Parameter 'Age' is invalid"},
      {"30", "abc", "5", "10", "Parameter 'Weight' is invalid"},
      {"30", "0.0", "5", "10", "Parameter 'Weight' is invalid"},
      {"30", "150", "", "10", "Parameter 'Feet' is invalid"},
      {"30", "150", "6", "0", "Parameter 'Inches' is invalid"},
      {"30", "150", "6", "1e-310", "Parameter 'Inches' is invalid"},
  };
  // Before any estimate the result box stays empty.
  ASSERT_TRUE(CalculateExpecting("", "Parameter 'Age' is invalid"));
  Fill(0, "30", "150", "5", "10", 0);
  ASSERT_TRUE(CalculateExpecting("2017", ""));
  for (const Failure& f : failures) {
    SCOPED_TRACE(f.message);
    Fill(0, f.age, f.weight, f.feet, f.inches, 0);
    SendMessageA(C(IDC_ERROR_TEXT), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(""));
    ASSERT_TRUE(CalculateExpecting("2017", f.message));
  }
  Fill(1, "25", "130", "5", "4", 2);
  ASSERT_TRUE(CalculateExpecting("1974", ""));
}

TEST_F(DialogTest, NothingChangesUntilTheNextCalculation) {
  Fill(0, "30", "150", "5", "10", 0);
  ASSERT_TRUE(CalculateExpecting("2017", ""));
  Fill(1, "", "abc", "", "", 3);
  ASSERT_TRUE(TabTo(program_, C(IDOK)));
  ExpectOutput("2017", "");
}

TEST_F(DialogTest, EnterCalculatesFromEveryKindOfControl) {
  const int targets[] = {IDC_AGE,       IDC_WEIGHT, IDC_INCHES, IDC_GENDER,
                         IDC_LIFESTYLE, IDC_RESULT, IDOK};
  Fill(0, "30", "150", "5", "10", 0);
  int weight = 150;
  for (const int target : targets) {
    SCOPED_TRACE(target);
    ++weight;
    Enter(IDC_WEIGHT, std::to_string(weight).c_str());
    FocusOn(target);
    ASSERT_TRUE(CalculateExpecting(ExpectedText(0, 30, weight, 5, 10, 0), ""));
    EXPECT_EQ(FocusOf(program_), C(target));
  }
  FocusOn(IDCANCEL);
  PressKey(VK_RETURN);
  EXPECT_EQ(WaitForExit(program_), 0);
}

TEST_F(DialogTest, CommandsWithANotificationCodeAreIgnored) {
  Fill(0, "30", "150", "5", "10", 0);
  EXPECT_EQ(SendMessageA(program_.dialog, WM_COMMAND, MAKEWPARAM(IDOK, 1), 0),
            0);
  EXPECT_EQ(
      SendMessageA(program_.dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 1), 0), 0);
  ExpectOutput("", "");
  EXPECT_TRUE(IsWindow(program_.dialog));
  ASSERT_TRUE(CalculateExpecting("2017", ""));
}

namespace {

enum class CloseWay {
  Escape,
  CloseClick,
  CloseSpace,
  CloseBox,
  AltF4,
  WindowMenu
};

void CloseBy(const RunningProgram& program, CloseWay way) {
  switch (way) {
    case CloseWay::Escape:
      PressKey(VK_ESCAPE);
      break;
    case CloseWay::CloseClick:
      ClickAt(CenterOf(Control(program, IDCANCEL)));
      break;
    case CloseWay::CloseSpace:
      for (int i = 0; i < 9 && FocusOf(program) != Control(program, IDCANCEL);
           ++i)
        TabTo(program, Control(program, IDCANCEL), true);
      PressKey(VK_SPACE);
      break;
    case CloseWay::CloseBox:
      ClickAt(CloseBoxOf(program.dialog));
      break;
    case CloseWay::AltF4:
      // From an edit box: Wine's combo box takes F4 as "drop the list"
      // even with Alt held.
      TabTo(program, Control(program, IDC_AGE));
      PressKey(VK_F4, false, true);
      break;
    case CloseWay::WindowMenu: {
      // Alt+Space opens the window menu; C picks its Close item once the
      // menu (class #32768) is up.
      TabTo(program, Control(program, IDC_AGE));
      PressKey(VK_SPACE, false, true);
      const DWORD thread = program.process.dwThreadId;
      WaitUntil([&] {
        const HWND menu = FindWindowA("#32768", nullptr);
        return menu != nullptr && IsWindowVisible(menu) &&
               GetWindowThreadProcessId(menu, nullptr) == thread;
      });
      PressKey('C');
      break;
    }
  }
}

}  // namespace

TEST(DialogClosing, EveryWayOfClosingExitsWithZero) {
  const struct {
    const char* name;
    CloseWay way;
  } ways[] = {{"Esc", CloseWay::Escape},
              {"click on Close", CloseWay::CloseClick},
              {"Space on Close", CloseWay::CloseSpace},
              {"close box", CloseWay::CloseBox},
              {"Alt+F4", CloseWay::AltF4},
              {"Close in the window menu", CloseWay::WindowMenu}};
  // Each way from the three output states: just opened, an estimate shown,
  // an error reported.
  for (const auto& way : ways) {
    for (int state = 0; state < 3; ++state) {
      SCOPED_TRACE(std::string(way.name) + ", state " + std::to_string(state));
      RunningProgram program;
      ASSERT_TRUE(StartProgram(program, ProgramPath()));
      ASSERT_TRUE(Activate(program));
      if (state > 0) {
        if (state == 1) {
          const int ids[] = {IDC_AGE, IDC_WEIGHT, IDC_FEET, IDC_INCHES};
          const char* texts[] = {"30", "150", "5", "10"};
          for (int i = 0; i < 4; ++i)
            SendMessageA(Control(program, ids[i]), WM_SETTEXT, 0,
                         reinterpret_cast<LPARAM>(texts[i]));
        }
        PressKey(VK_RETURN);
        const char* expected = state == 1 ? "2017" : "";
        ASSERT_TRUE(WaitUntil([&] {
          return TextOf(Control(program, IDC_RESULT)) == expected &&
                 IsShown(Control(program, IDC_ERROR_ICON)) == (state == 2);
        }));
      }
      CloseBy(program, way.way);
      EXPECT_EQ(WaitForExit(program), 0);
      KillProgram(program);
    }
  }
}

TEST(DialogStartup, CommandLineIsIgnored) {
  RunningProgram program;
  ASSERT_TRUE(
      StartProgram(program, ProgramPath(), "/? --help 42 \"quoted arg\""));
  EXPECT_EQ(SelectionOf(Control(program, IDC_GENDER)), 0);
  EXPECT_EQ(TextOf(Control(program, IDC_RESULT)), "");
  ASSERT_TRUE(Activate(program));
  PressKey(VK_ESCAPE);
  EXPECT_EQ(WaitForExit(program), 0);
}

TEST(DialogStartup, TwoCopiesRunSideBySide) {
  RunningProgram first, second;
  ASSERT_TRUE(StartProgram(first, ProgramPath()));
  ASSERT_TRUE(StartProgram(second, ProgramPath()));
  EXPECT_NE(first.dialog, second.dialog);
  SendMessageA(Control(first, IDC_AGE), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>("30"));
  SendMessageA(first.dialog, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);
  EXPECT_EQ(TextOf(Control(first, IDC_ERROR_TEXT)),
            "Parameter 'Weight' is invalid");
  EXPECT_EQ(TextOf(Control(second, IDC_ERROR_TEXT)), "");
  ASSERT_TRUE(Activate(second));
  PressKey(VK_ESCAPE);
  EXPECT_EQ(WaitForExit(second), 0);
  ASSERT_TRUE(Activate(first));
  PressKey(VK_ESCAPE);
  EXPECT_EQ(WaitForExit(first), 0);
}

TEST(DialogStartup, WithoutItsTemplateItEndsAtOnceWithZero) {
  // The same program built without its dialog template.
  std::string exe = ProgramPath();
  exe.insert(exe.size() - 4, "NoTemplate");
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  RunningProgram program = {};
  std::string line = "\"" + exe + "\"";
  ASSERT_TRUE(CreateProcessA(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0,
                             nullptr, nullptr, &startup, &program.process))
      << exe;
  EXPECT_EQ(WaitForExit(program, 15000), 0);
}
