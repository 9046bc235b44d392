#include "LayoutCheck.h"

#include <cwchar>

namespace {

constexpr int kNextButton = 0x3024;
// Room a push button's frame and focus rectangle take from its caption.
constexpr int kButtonMargin = 8;

struct Placed {
    std::wstring what;
    RECT rect; // page client coordinates, the part the control really covers
};

std::wstring ClassOf(HWND wnd) {
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 64);
    return name;
}

std::wstring TextOf(HWND wnd) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(wnd)) + 1, L'\0');
    text.resize(
        static_cast<size_t>(GetWindowTextW(wnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

RECT RectOnPage(HWND wnd, HWND page) {
    RECT r;
    GetWindowRect(wnd, &r);
    MapWindowPoints(nullptr, page, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool IsIdeograph(wchar_t c) {
    return (c >= 0x2E80 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFF00 && c <= 0xFFEF);
}

// Dialog units of the page's font, for messages a layout can be fixed from.
void PixelsToUnits(HWND page, int cx, int cy, int& ux, int& uy) {
    RECT unit = {0, 0, 400, 800};
    MapDialogRect(page, &unit);
    ux = (cx * 400 + unit.right - 1) / unit.right;
    uy = (cy * 800 + unit.bottom - 1) / unit.bottom;
}

class Measure {
public:
    explicit Measure(HWND wnd) : m_wnd(wnd), m_dc(GetDC(wnd)) {
        m_old = SelectObject(m_dc, reinterpret_cast<HFONT>(SendMessageW(wnd, WM_GETFONT, 0, 0)));
    }
    ~Measure() {
        SelectObject(m_dc, m_old);
        ReleaseDC(m_wnd, m_dc);
    }
    Measure(const Measure&) = delete;
    Measure& operator=(const Measure&) = delete;

    // Size of text wrapped as a left-aligned static control wraps it.
    SIZE Wrapped(const std::wstring& text, int width) const {
        RECT r = {0, 0, width, 0};
        DrawTextW(m_dc, text.c_str(), -1, &r, DT_CALCRECT | DT_LEFT | DT_WORDBREAK | DT_EXPANDTABS);
        return {r.right, r.bottom};
    }
    SIZE Line(const std::wstring& text) const {
        SIZE s = {0, 0};
        GetTextExtentPoint32W(m_dc, text.c_str(), static_cast<int>(text.size()), &s);
        return s;
    }
    // A word of a spaced script wider than the control would be cut in two.
    std::wstring FirstWordWiderThan(const std::wstring& text, int width) const {
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find(L' ', start);
            if (end == std::wstring::npos)
                end = text.size();
            std::wstring word = text.substr(start, end - start);
            bool spaced = true;
            for (wchar_t c : word)
                spaced = spaced && !IsIdeograph(c);
            if (spaced && !word.empty() && Line(word).cx > width)
                return word;
            start = end + 1;
        }
        return {};
    }

private:
    HWND m_wnd;
    HDC m_dc;
    HGDIOBJ m_old;
};

std::wstring Format(const wchar_t* fmt, ...) {
    wchar_t buf[1024];
    va_list args;
    va_start(args, fmt);
    vswprintf(buf, 1024, fmt, args);
    va_end(args);
    return buf;
}

void CheckText(HWND page, HWND ctrl, const std::wstring& text, const std::wstring& name,
               std::vector<Placed>& placed, LayoutReport& report) {
    RECT client;
    GetClientRect(ctrl, &client);
    RECT at = RectOnPage(ctrl, page);
    Measure m(ctrl);
    SIZE need = m.Wrapped(text, client.right);
    int needX, needY, haveX, haveY;
    PixelsToUnits(page, need.cx, need.cy, needX, needY);
    PixelsToUnits(page, client.right, client.bottom, haveX, haveY);
    std::wstring line =
        Format(L"%ls needs %dx%d du, has %dx%d du (one line: %ld px): \"%ls\"", name.c_str(), needX,
               needY, haveX, haveY, m.Line(text).cx, text.c_str());
    report.lines.push_back(line);
    if (need.cx > client.right || need.cy > client.bottom)
        report.faults.push_back(L"does not fit: " + line);
    std::wstring word = m.FirstWordWiderThan(text, client.right);
    if (!word.empty())
        report.faults.push_back(L"word \"" + word + L"\" is wider than " + name);
    if (!text.empty())
        placed.push_back({name, {at.left, at.top, at.left + need.cx, at.top + need.cy}});
}

void CheckPicture(HWND page, HWND ctrl, const std::wstring& name, std::vector<Placed>& placed,
                  LayoutReport& report) {
    RECT at = RectOnPage(ctrl, page);
    auto bitmap = reinterpret_cast<HBITMAP>(SendMessageW(ctrl, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info = {};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) {
        report.faults.push_back(name + L" shows no picture");
        return;
    }
    report.lines.push_back(Format(L"%ls shows %ldx%ld px at %ld,%ld px", name.c_str(), info.bmWidth,
                                  info.bmHeight, at.left, at.top));
    placed.push_back({name, {at.left, at.top, at.left + info.bmWidth, at.top + info.bmHeight}});
}

void CheckButton(HWND page, HWND ctrl, const std::wstring& name, std::vector<Placed>& placed,
                 LayoutReport& report) {
    RECT client;
    GetClientRect(ctrl, &client);
    std::wstring text = TextOf(ctrl);
    SIZE need = Measure(ctrl).Line(text);
    report.lines.push_back(Format(L"%ls caption needs %ld px, has %ld px: \"%ls\"", name.c_str(),
                                  need.cx + kButtonMargin, client.right, text.c_str()));
    if (need.cx + kButtonMargin > client.right || need.cy > client.bottom)
        report.faults.push_back(L"caption does not fit " + name + L": \"" + text + L"\"");
    placed.push_back({name, RectOnPage(ctrl, page)});
}

void CheckClearance(HWND page, const std::vector<Placed>& placed, LayoutReport& report) {
    RECT client;
    GetClientRect(page, &client);
    for (size_t i = 0; i < placed.size(); ++i) {
        const RECT& a = placed[i].rect;
        if (a.left < 0 || a.top < 0 || a.right > client.right || a.bottom > client.bottom)
            report.faults.push_back(placed[i].what + L" reaches outside the page");
        for (size_t j = i + 1; j < placed.size(); ++j) {
            RECT both;
            if (placed[i].what != placed[j].what && IntersectRect(&both, &a, &placed[j].rect))
                report.faults.push_back(placed[i].what + L" overlaps " + placed[j].what);
        }
    }
}

} // namespace

void CheckPageLayout(HWND page, UINT templateId, const ShownTexts& shown, LayoutReport& report) {
    std::vector<Placed> placed;
    int index = 0;
    for (HWND ctrl = GetWindow(page, GW_CHILD); ctrl; ctrl = GetWindow(ctrl, GW_HWNDNEXT)) {
        ++index;
        const int id = GetDlgCtrlID(ctrl);
        const std::wstring cls = ClassOf(ctrl);
        const LONG style = GetWindowLongW(ctrl, GWL_STYLE);
        std::wstring name = Format(L"template %u control %d (%d)", templateId, index, id);
        if (_wcsicmp(cls.c_str(), L"Static") == 0 && (style & SS_TYPEMASK) == SS_BITMAP) {
            CheckPicture(page, ctrl, name, placed, report);
        } else if (_wcsicmp(cls.c_str(), L"Static") == 0) {
            if (id == 1001) {
                // Both are shown at different moments in the same place.
                CheckText(page, ctrl, shown.pressKey, name, placed, report);
                CheckText(page, ctrl, shown.updateFailed, name, placed, report);
            } else if (id == 1005) {
                CheckText(page, ctrl, shown.fullPercentage, name, placed, report);
            } else {
                CheckText(page, ctrl, TextOf(ctrl), name, placed, report);
            }
        } else if (_wcsicmp(cls.c_str(), L"Button") == 0) {
            CheckButton(page, ctrl, name, placed, report);
        } else {
            placed.push_back({name, RectOnPage(ctrl, page)});
        }
    }
    CheckClearance(page, placed, report);
}

void CheckButtonCaptions(HWND sheet, const std::vector<std::wstring>& captions,
                         LayoutReport& report) {
    HWND next = GetDlgItem(sheet, kNextButton);
    RECT client;
    GetClientRect(next, &client);
    Measure m(next);
    for (const std::wstring& caption : captions) {
        SIZE need = m.Line(caption);
        report.lines.push_back(Format(L"wizard button caption needs %ld px, has %ld px: \"%ls\"",
                                      need.cx + kButtonMargin, client.right, caption.c_str()));
        if (caption.empty() || need.cx + kButtonMargin > client.right)
            report.faults.push_back(L"wizard button caption does not fit: \"" + caption + L"\"");
    }
}
