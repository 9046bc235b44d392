// The five kinds of control the pages are made of. Every template of the
// program and of each language pack builds its controls through these, so a
// kind always carries the same window class and style bits.
//
// The predefined classes are written as their atoms (what a window class
// given by name in a template stands for); windres would otherwise store
// them as upper-case names.
#pragma once

#define CLASS_BUTTON 0x0080
#define CLASS_EDIT 0x0081
#define CLASS_STATIC 0x0082

// Left-aligned text, wrapped at word boundaries within its width.
#define TEXT_CONTROL(text, id, ...)                                                                 \
    CONTROL text, id, CLASS_STATIC, WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT, __VA_ARGS__

// Shows the bitmap its text field names, at the bitmap's own size.
#define PICTURE_CONTROL(bitmap, ...) CONTROL bitmap, -1, CLASS_STATIC, WS_CHILD | WS_VISIBLE | SS_BITMAP, __VA_ARGS__

// One read-only line with a border that scrolls horizontally.
#define PATH_BOX(id, ...)                                                                           \
    CONTROL "", id, CLASS_EDIT,                                                                    \
        WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL | ES_READONLY, __VA_ARGS__

#define PUSH_BUTTON(text, id, ...)                                                                  \
    CONTROL text, id, CLASS_BUTTON, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, __VA_ARGS__

// Segmented bar with a border; its template text is never shown.
#define PROGRESS_BAR(id, ...) CONTROL "Progress1", id, "msctls_progress32", WS_CHILD | WS_VISIBLE | WS_BORDER, __VA_ARGS__

// Header every page template shares; the frame replaces the font with its own.
#define PAGE_STYLE WS_CHILD | WS_CAPTION | WS_SYSMENU | DS_SETFONT
#define PAGE_FONT_SIZE 10
#define PAGE_FONT_FACE "System"
