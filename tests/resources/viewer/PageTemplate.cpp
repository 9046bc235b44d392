#include "PageTemplate.h"

#include <cstring>

namespace {

constexpr UINT kComctlWizardTemplate = 1020;
constexpr UINT kComctlSheetTemplate = 1006;
constexpr DWORD kExtendedSignature = 0xFFFF0001;

struct Resource {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

Resource FindDialog(HMODULE module, UINT nId) {
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(nId), MAKEINTRESOURCEW(5));
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(module, found);
    if (!loaded)
        return {};
    return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module, found)};
}

// Skips a "number or name" field of a template.
size_t SkipNameOrOrdinal(const BYTE* data, size_t pos) {
    WORD first;
    std::memcpy(&first, data + pos, sizeof first);
    if (first == 0xFFFF)
        return pos + 4;
    while (true) {
        WORD c;
        std::memcpy(&c, data + pos, sizeof c);
        pos += 2;
        if (c == 0)
            return pos;
    }
}

std::wstring ReadString(const BYTE* data, size_t pos) {
    std::wstring s;
    while (true) {
        wchar_t c;
        std::memcpy(&c, data + pos, sizeof c);
        if (c == 0)
            return s;
        s += c;
        pos += 2;
    }
}

bool ReadFontOf(HMODULE module, UINT nId, FrameFont& font) {
    Resource r = FindDialog(module, nId);
    if (!r.data || r.size < 18)
        return false;
    DWORD first;
    std::memcpy(&first, r.data, sizeof first);
    const bool extended = first == kExtendedSignature;
    DWORD style;
    std::memcpy(&style, r.data + (extended ? 12 : 0), sizeof style);
    if (!(style & DS_SETFONT))
        return false;
    size_t pos = extended ? 26 : 18;
    pos = SkipNameOrOrdinal(r.data, pos); // menu
    pos = SkipNameOrOrdinal(r.data, pos); // class
    pos = SkipNameOrOrdinal(r.data, pos); // title
    std::memcpy(&font.pointSize, r.data + pos, sizeof font.pointSize);
    pos += extended ? 6 : 2; // weight, italic, charset follow in the extended form
    font.face = ReadString(r.data, pos);
    return true;
}

} // namespace

FrameFont ReadFrameFont() {
    FrameFont font;
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    if (comctl && !ReadFontOf(comctl, kComctlWizardTemplate, font))
        ReadFontOf(comctl, kComctlSheetTemplate, font);
    return font;
}

std::vector<DWORD> CopyTemplateWithFont(HMODULE module, UINT nId, const FrameFont& font) {
    Resource r = FindDialog(module, nId);
    if (!r.data || r.size < 18)
        return {};
    DWORD style;
    std::memcpy(&style, r.data, sizeof style);
    if (style == kExtendedSignature || !(style & DS_SETFONT))
        return {};
    size_t pos = 18;
    pos = SkipNameOrOrdinal(r.data, pos); // menu
    pos = SkipNameOrOrdinal(r.data, pos); // class
    pos = SkipNameOrOrdinal(r.data, pos); // title
    const size_t fontAt = pos;
    pos += 2;                                        // point size
    pos += (ReadString(r.data, pos).size() + 1) * 2; // face
    const size_t controlsAt = (pos + 3) & ~size_t{3};

    std::vector<BYTE> out(r.data, r.data + fontAt);
    out.push_back(static_cast<BYTE>(font.pointSize & 0xFF));
    out.push_back(static_cast<BYTE>(font.pointSize >> 8));
    for (wchar_t c : font.face + L'\0') {
        out.push_back(static_cast<BYTE>(c & 0xFF));
        out.push_back(static_cast<BYTE>(c >> 8));
    }
    while (out.size() % 4)
        out.push_back(0);
    if (controlsAt < r.size)
        out.insert(out.end(), r.data + controlsAt, r.data + r.size);

    // DWORD storage keeps the controls' own DWORD alignment intact.
    std::vector<DWORD> aligned((out.size() + 3) / 4);
    std::memcpy(aligned.data(), out.data(), out.size());
    return aligned;
}
