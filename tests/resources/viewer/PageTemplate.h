// A page template read from a resource module, and a copy of it that uses
// another font, as the wizard frame shows its pages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct FrameFont {
    std::wstring face = L"MS Shell Dlg";
    WORD pointSize = 8;
};

// The dialog font of comctl32's own wizard template, which the frame gives
// every page; the platform's usual dialog font when it cannot be read.
FrameFont ReadFrameFont();

// Template nId of module with its font replaced by font. Empty when the
// module lacks the template or it is not a classic template with a font.
std::vector<DWORD> CopyTemplateWithFont(HMODULE module, UINT nId, const FrameFont& font);
