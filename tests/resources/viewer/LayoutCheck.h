// Measures, on a page the wizard frame has created, whether every text fits
// its control and whether controls keep clear of each other, with the fonts
// the frame really uses.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct LayoutReport {
    std::vector<std::wstring> lines;  // one per control, for reading
    std::vector<std::wstring> faults; // what does not fit
};

// Texts that a page's control shows at some moment besides its template
// text (the status and percentage controls of the Updating page).
struct ShownTexts {
    std::wstring pressKey;       // string 107
    std::wstring updateFailed;   // string 108
    std::wstring fullPercentage; // the widest percentage, "100%"
};

void CheckPageLayout(HWND page, UINT templateId, const ShownTexts& shown, LayoutReport& report);

// The captions the wizard's own buttons take must fit them.
void CheckButtonCaptions(HWND sheet, const std::vector<std::wstring>& captions,
                         LayoutReport& report);
