// Checks a dialog of the running program against its template: the
// controls' order, ids, classes, texts and styles, and every rectangle in
// pixels. Dialog units can only be mapped in the process that owns the
// dialog, so the driver makes the same template itself (its executable
// carries the program's resources) and maps the units there: both
// processes use the same font, so both get the same base units.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace e2e {

// One control as the window is meant to show it, in dialog units.
struct ControlPlan
{
    int id;                 // -1 for a control without an id of its own
    const char* className;  // "Button", "Edit", "Static", "RICHEDIT", ...
    const char* text;       // exactly, trailing blanks included; nullptr: an image
    int x, y, width, height;
    DWORD type;            // BS_ or SS_ type of a button or static (a number, not bits)
    DWORD requiredStyle;   // bits the template must give it
    DWORD forbiddenStyle;  // bits it must not have
};

struct DialogPlan
{
    int templateId;
    const char* caption;
    int width, height;  // dialog units
    DWORD requiredStyle;
    DWORD forbiddenStyle;
    std::vector<ControlPlan> controls;
};

// A control of a template resource as it is stored.
struct TemplateItem
{
    int id;
    std::string className;
    std::string text;  // "#N" for an ordinal (an image resource)
    DWORD style;
    DWORD extendedStyle;
    RECT units;  // left, top, width, height
};

struct TemplateInfo
{
    DWORD style;
    std::string caption;
    std::string fontFace;
    int pointSize;
    int width, height;
    std::vector<TemplateItem> items;
};

// Reads dialog template RESOURCE_ID from the driver's own executable.
bool ReadDialogTemplate(int resourceId, TemplateInfo* info);

// The template against the plan: order, ids, classes, texts, units,
// control types and the style bits the plan requires or rules out.
testing::AssertionResult TemplateMatchesPlan(const DialogPlan& plan);

// The live dialog of the program against the template: same controls in
// the same order, with the template's ids, classes, texts and styles (as
// this platform makes them), and every rectangle the template's units
// mapped to pixels. Style bits in IGNORED_STYLE (those the program changes
// as it runs, such as WS_DISABLED) are not compared. Edit texts are the
// program's to fill and are not compared.
testing::AssertionResult DialogMatchesTemplate(HWND dialog, int templateId, DWORD ignoredStyle);

}  // namespace e2e
