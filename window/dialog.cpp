#include <windows.h>

#include "estimate/estimate.h"
#include "window/resource.h"
#include "window/window.h"

namespace {

void FillList(HWND dialog, int listId, const char* const* labels, int count) {
  const HWND list = GetDlgItem(dialog, listId);
  for (int i = 0; i < count; ++i)
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(labels[i]));
  SendMessageA(list, CB_SETCURSEL, 0, 0);
}

void PrepareControls(HWND dialog) {
  const HICON icon = LoadIconA(g_hInstance, MAKEINTRESOURCEA(IDI_CALCULATOR));
  SendMessageA(dialog, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));

  const char* genderLabels[kGenderCount];
  for (int i = 0; i < kGenderCount; ++i) genderLabels[i] = kGenders[i].label;
  FillList(dialog, IDC_GENDER, genderLabels, kGenderCount);
  const char* activityLabels[kActivityLevelCount];
  for (int i = 0; i < kActivityLevelCount; ++i)
    activityLabels[i] = kActivityLevels[i].label;
  FillList(dialog, IDC_LIFESTYLE, activityLabels, kActivityLevelCount);

  SendMessageA(GetDlgItem(dialog, IDC_AGE), EM_LIMITTEXT, 2, 0);
  SendMessageA(GetDlgItem(dialog, IDC_WEIGHT), EM_LIMITTEXT, 6, 0);
  SendMessageA(GetDlgItem(dialog, IDC_FEET), EM_LIMITTEXT, 6, 0);
  SendMessageA(GetDlgItem(dialog, IDC_INCHES), EM_LIMITTEXT, 6, 0);

  // Loaded now, shown only when a field is reported.
  const HICON warning = LoadIconA(nullptr, IDI_WARNING);
  SendMessageA(GetDlgItem(dialog, IDC_ERROR_ICON), STM_SETICON,
               reinterpret_cast<WPARAM>(warning), 0);
}

}  // namespace

INT_PTR CALLBACK CalculatorDialogProc(HWND dialog, UINT message, WPARAM wParam,
                                      LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      PrepareControls(dialog);
      return TRUE;
    case WM_COMMAND:
      // Only commands proper (code 0); accelerator (1) and control
      // notifications are left to the platform.
      if (HIWORD(wParam) != 0) return FALSE;
      if (LOWORD(wParam) == IDOK) {
        CalculateFromForm(dialog);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, 0);
        return TRUE;
      }
      return FALSE;
    case WM_CLOSE:
      EndDialog(dialog, 0);
      return FALSE;
    default:
      return FALSE;
  }
}
