// Resource and control identifiers, shared by the resource script, the dialog
// procedure and the form logic. Plain #defines so that the resource compiler
// can read this file too.
#ifndef CALORIES_WINDOW_RESOURCE_H
#define CALORIES_WINDOW_RESOURCE_H

#define IDI_CALCULATOR 9
#define IDD_CALCULATOR 101

#define IDC_GENDER 1001
#define IDC_AGE 1002
#define IDC_WEIGHT 1003
#define IDC_FEET 1004
#define IDC_INCHES 1005
#define IDC_LIFESTYLE 1006
#define IDC_RESULT 1007
#define IDC_ERROR_ICON 1008
#define IDC_ERROR_TEXT 1009

// Group box and labels; the two push buttons use the platform's IDOK and
// IDCANCEL.
#ifndef IDC_STATIC
#define IDC_STATIC -1
#endif

#endif
