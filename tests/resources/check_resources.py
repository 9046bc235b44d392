#!/usr/bin/env python3
"""Checks the resource set as it was built into the files.

  check_resources.py program FILE        the program's own set, exactly
  check_resources.py pack FILE LANGUAGE  what a language pack must carry
  check_resources.py pack FILE LANGUAGE --expect TEXT...
        passes only if each TEXT appears among the faults found (used on a
        deliberately broken pack, to show that the checks catch faults)

Prints each fault and exits 1 when there is any.
"""
import sys

import peresources as pe

TEMPLATES = range(129, 135)
STRINGS = (102, 104, 105, 106, 107, 108, 111)
CHINESE_PRC = 2052

WS_CHILD, WS_VISIBLE, WS_BORDER, WS_GROUP, WS_TABSTOP = 0x40000000, 0x10000000, 0x800000, 0x20000, 0x10000
WS_CAPTION, WS_SYSMENU, DS_SETFONT = 0xC00000, 0x80000, 0x40
SS_LEFT, SS_BITMAP, SS_TYPEMASK = 0x0, 0xE, 0x1F
ES_LEFT, ES_MULTILINE, ES_AUTOHSCROLL, ES_READONLY = 0x0, 0x4, 0x80, 0x800
BS_PUSHBUTTON, BS_TYPEMASK = 0x0, 0xF

# Control kinds: window class and the full style each kind is made with.
KINDS = {
    "text": ("static", WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT),
    "picture": ("static", WS_CHILD | WS_VISIBLE | SS_BITMAP),
    "path box": ("edit", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL | ES_READONLY),
    "push button": ("button", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON),
    "progress bar": ("msctls_progress32", WS_CHILD | WS_VISIBLE | WS_BORDER),
}

# The controls the program addresses by number: (number, template, kind).
ADDRESSED = [
    (1000, 133, "progress bar"),
    (1001, 133, "text"),
    (1003, 131, "path box"),
    (1004, 131, "push button"),
    (1005, 133, "text"),
]


def kind_of(control):
    """The kind a control is, judged by its class and its defining bits."""
    cls, style = control.class_name(), control.style
    if cls == "static":
        if style & SS_TYPEMASK == SS_BITMAP:
            return "picture"
        return "text" if style & SS_TYPEMASK == SS_LEFT else None
    if cls == "edit":
        wanted = ES_READONLY | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP
        return "path box" if style & wanted == wanted and not style & ES_MULTILINE else None
    if cls == "button":
        return "push button" if style & BS_TYPEMASK == BS_PUSHBUTTON and style & WS_TABSTOP else None
    if cls == "msctls_progress32":
        return "progress bar" if style & WS_BORDER else None
    return None


# ---------------------------------------------------------------------------
# What every module of the set carries (program and packs alike)

def check_inventory(module, faults):
    named_bitmaps = set()
    for number in TEMPLATES:
        if len(module.languages(pe.RT_DIALOG, number)) > 1:
            faults.append("template %d has more than one language version" % number)
        dialog = module.dialog(number)
        if dialog is None:
            faults.append("template %d is missing" % number)
            continue
        if dialog.extended:
            faults.append("template %d is not a classic template" % number)
            continue
        for control in dialog.controls:
            if control.class_name() == "static" and control.style & SS_TYPEMASK == SS_BITMAP:
                if isinstance(control.text, int):
                    named_bitmaps.add(control.text)
                else:
                    faults.append("a picture on template %d names no bitmap number" % number)
            if not control.style & WS_CHILD or not control.style & WS_VISIBLE:
                faults.append("control %d on template %d is not a visible child" % (control.id, number))
    check_addressed_controls(module, faults)
    for number in STRINGS:
        if len(module.languages(pe.RT_STRING, (number >> 4) + 1)) > 1:
            faults.append("string %d has more than one language version" % number)
        if not module.string(number):
            faults.append("string %d is missing or empty" % number)
    for number in sorted(named_bitmaps):
        bitmap = module.bitmap(number)
        if bitmap is None:
            faults.append("bitmap %d, named by a template, is missing" % number)
        elif not bitmap.valid_uncompressed():
            faults.append("bitmap %d is not a whole uncompressed bitmap" % number)
    check_icon(module, faults)
    return named_bitmaps


def check_addressed_controls(module, faults):
    for number, template, kind in ADDRESSED:
        dialog = module.dialog(template)
        if dialog is None or dialog.extended:
            continue
        found = [c for c in dialog.controls if c.id == number]
        if len(found) != 1:
            faults.append("control %d on template %d: %d found, 1 wanted" % (number, template, len(found)))
        elif kind_of(found[0]) != kind:
            faults.append("control %d on template %d is not a %s" % (number, template, kind))


def check_icon(module, faults):
    images = module.icon_group(128)
    if images is None:
        faults.append("icon group 128 is missing")
        return
    sizes = sorted((i.width, i.height) for i in images)
    if sizes != [(16, 16), (48, 48)]:
        faults.append("icon group 128 holds %s, wanted 48x48 and 16x16" % sizes)
    for image in images:
        if image.dib is None:
            faults.append("icon image %d of group 128 is missing" % image.icon_id)
        elif image.dib.bit_count != 8 or image.bits != 8:
            faults.append("icon image %dx%d has %d bits per pixel, wanted 8"
                          % (image.width, image.height, image.dib.bit_count))
        elif not image.has_mask():
            faults.append("icon image %dx%d has no transparency mask" % (image.width, image.height))


# ---------------------------------------------------------------------------
# The program's own set, exactly

CAPTION = "KALDREN R530 Updater"
PAGE_STYLE = WS_CHILD | WS_CAPTION | WS_SYSMENU | DS_SETFONT
PAGE_WIDTHS = {129: 223, 130: 214, 131: 221, 132: 221, 133: 221, 134: 214}

# Per template: (kind, number, text or bitmap number, x, y, width, height)
BUILT_IN_TEMPLATES = {
    129: [
        ("text", -1, "Welcome to Kaldren Phone Load Updater", 98, 22, 122, 25),
        ("picture", -1, 139, 7, 7, 45, 97),
        ("text", -1, "Before starting the update process, it is strongly recommended to backup all data in your phone.", 117, 73, 106, 43),
        ("picture", -1, 136, 92, 73, 13, 13),
    ],
    130: [
        ("picture", -1, 139, 7, 7, 76, 128),
        ("text", -1, "Getting started", 131, 16, 70, 16),
        ("text", -1, "Please power off your phone first.", 115, 35, 98, 22),
        ("text", -1, "Press 'CAMERA' + 'VOLUME DOWN' + 'POWER' keys at the same time to make the phone enter download mode.", 114, 59, 100, 39),
        ("text", -1, "Then connect your phone to your PC using the USB cable.", 114, 109, 100, 26),
        ("picture", -1, 135, 95, 36, 8, 8),
        ("picture", -1, 135, 95, 62, 8, 8),
        ("picture", -1, 135, 95, 110, 8, 8),
    ],
    131: [
        ("picture", -1, 139, 7, 7, 76, 128),
        ("text", -1, "Preparing update", 138, 13, 65, 20),
        ("text", -1, "Select Update File:", 116, 32, 87, 14),
        ("path box", 1003, "", 117, 49, 103, 14),
        ("push button", 1004, "Browse", 117, 67, 50, 14),
    ],
    132: [
        ("picture", -1, 139, 7, 7, 76, 128),
        ("text", -1, "Update notice", 121, 25, 100, 17),
        ("text", -1, "Do not disconnect your phone from the PC during the update process.", 122, 64, 99, 27),
        ("text", -1, "You will not be able to use your phone during the load update.", 123, 98, 97, 25),
        ("picture", -1, 136, 94, 65, 20, 20),
        ("picture", -1, 136, 94, 97, 13, 13),
    ],
    133: [
        ("picture", -1, 139, 7, 7, 76, 128),
        ("text", -1, "Updating the load", 130, 12, 72, 11),
        ("progress bar", 1000, "Progress1", 88, 58, 129, 15),
        ("text", 1001, "Press 'VOLUME DOWN' key, then the update process will start automatically.", 109, 28, 111, 26),
        ("picture", -1, 136, 88, 96, 13, 13),
        ("text", -1, "Do not disconnect the cable.", 112, 120, 108, 15),
        ("picture", -1, 135, 88, 29, 8, 8),
        ("text", -1, "Ensure your phone has entered download mode.", 111, 96, 109, 17),
        ("picture", -1, 136, 88, 116, 13, 13),
        ("text", -1, "Progress:", 88, 78, 34, 8),
        ("text", 1005, "Static", 131, 78, 24, 8),
    ],
    134: [
        ("picture", -1, 139, 7, 7, 76, 128),
        ("text", -1, "Load update complete", 117, 38, 85, 15),
        ("text", -1, "Your phone's load has been successfully updated. You can start using your phone now.", 111, 78, 103, 35),
    ],
}

BUILT_IN_STRINGS = {
    102: "Wizard",
    104: "Next",
    105: "Finish",
    106: "Retry",
    107: "Press 'VOLUME DOWN' key, then the update process will start automatically.",
    108: "Update failed. Please make sure that Windows ActiveSync is installed and USB cable is connected.",
    111: "Cancel",
}

# number: (width, height, bits per pixel)
BUILT_IN_BITMAPS = {135: (15, 15, 4), 136: (25, 25, 4), 139: (101, 200, 24)}

VERSION_STRINGS = {
    "FileVersion": "3, 2010, 28, 0",
    "ProductVersion": "3, 2010, 28, 0",
    "FileDescription": CAPTION,
    "InternalName": CAPTION,
    "ProductName": CAPTION,
    "OriginalFilename": "KALDREN_R530_Updater.EXE",
}

# Classes as they are stored: the predefined ones as atoms.
STORED_CLASS = {"text": 0x82, "picture": 0x82, "path box": 0x81, "push button": 0x80,
                "progress bar": "msctls_progress32"}


def check_built_in_templates(module, faults):
    for number, rows in BUILT_IN_TEMPLATES.items():
        dialog = module.dialog(number)
        if dialog is None or dialog.extended:
            continue
        header = (dialog.style, dialog.exstyle, dialog.x, dialog.y, dialog.cx, dialog.cy,
                  dialog.menu, dialog.window_class, dialog.caption, dialog.font_size, dialog.font_face)
        wanted = (PAGE_STYLE, 0, 0, 0, PAGE_WIDTHS[number], 142, None, None, CAPTION, 10, "System")
        if header != wanted:
            faults.append("template %d header is %r, wanted %r" % (number, header, wanted))
        if len(dialog.controls) != len(rows):
            faults.append("template %d has %d controls, wanted %d" % (number, len(dialog.controls), len(rows)))
        for index, (control, row) in enumerate(zip(dialog.controls, rows), 1):
            kind, ident, text, x, y, cx, cy = row
            cls, style = KINDS[kind]
            got = (control.window_class, control.style, control.exstyle, control.id, control.text,
                   control.x, control.y, control.cx, control.cy)
            want = (STORED_CLASS[kind], style, 0, ident, text, x, y, cx, cy)
            if got != want:
                faults.append("template %d control %d is %r, wanted %r" % (number, index, got, want))


def check_built_in_set(module, faults):
    check_built_in_templates(module, faults)
    for number, text in BUILT_IN_STRINGS.items():
        if module.string(number) != text:
            faults.append("string %d is %r, wanted %r" % (number, module.string(number), text))
    for number, (width, height, bits) in BUILT_IN_BITMAPS.items():
        bitmap = module.bitmap(number)
        if bitmap is None or not bitmap.header_size:
            faults.append("bitmap %d is missing" % number)
            continue
        got = (bitmap.width, abs(bitmap.height), bitmap.bit_count, bitmap.compression)
        if got != (width, height, bits, 0):
            faults.append("bitmap %d is %dx%d, %d bpp, compression %d; wanted %dx%d, %d bpp, none"
                          % ((number,) + got + (width, height, bits)))
    groups = [name for (rtype, name) in module.resources if rtype == pe.RT_GROUP_ICON]
    if groups != [128]:
        faults.append("the program's icon groups are %r, wanted only 128" % groups)
    for (rtype, name), versions in module.resources.items():
        if rtype in (pe.RT_BITMAP, pe.RT_ICON, pe.RT_DIALOG, pe.RT_STRING, pe.RT_GROUP_ICON, pe.RT_VERSION):
            if sorted(versions) != [CHINESE_PRC]:
                faults.append("resource %r/%r is tagged %r, wanted only 2052" % (rtype, name, sorted(versions)))


def check_version(module, faults):
    info = module.version_info()
    if info is None:
        faults.append("the program has no version information")
        return
    fixed = (info.signature, info.file_version, info.product_version, info.flags_mask, info.flags,
             info.os, info.file_type, info.file_subtype, info.file_date)
    wanted = (0xFEEF04BD, (3, 2010, 28, 0), (3, 2010, 28, 0), 0x3F, 0, 4, 1, 0, 0)
    if fixed != wanted:
        faults.append("fixed version data is %r, wanted %r" % (fixed, wanted))
    if list(info.string_tables) != ["040904b0"]:
        faults.append("string blocks are %r, wanted only 040904b0" % list(info.string_tables))
    strings = info.string_tables.get("040904b0", {})
    for key, value in VERSION_STRINGS.items():
        if strings.get(key) != value:
            faults.append("version string %s is %r, wanted %r" % (key, strings.get(key), value))
    for key, value in strings.items():
        if key not in VERSION_STRINGS and value:
            faults.append("version string %s should be empty, is %r" % (key, value))
    if info.translations != [(0x0409, 1200)]:
        faults.append("translations are %r, wanted [(0x409, 1200)]" % info.translations)


# ---------------------------------------------------------------------------
# Language packs

# Characters that one Chinese script writes differently from the other, as
# (simplified, traditional) pairs; a pack of one script holds none of the
# other's.
SCRIPT_PAIRS = ["机機", "软軟", "数數", "据據", "线線", "请請", "将將", "开開", "动動", "连連",
                "脑腦", "载載", "进進", "确確", "认認", "须須", "体體", "败敗", "试試", "导導",
                "择擇", "浏瀏", "览覽", "过過", "断斷", "间間", "无無", "后後", "键鍵", "电電",
                "这這", "时時", "档檔", "备備", "欢歡"]


def pack_texts(module):
    texts = [module.string(n) or "" for n in STRINGS]
    for number in TEMPLATES:
        dialog = module.dialog(number)
        if dialog is not None and not dialog.extended:
            texts += [c.text for c in dialog.controls if isinstance(c.text, str)]
    return "".join(texts)


def check_language(module, language, faults):
    text = pack_texts(module)
    cyrillic = any("\u0400" <= ch <= "\u04FF" for ch in text)
    cjk = any("\u4E00" <= ch <= "\u9FFF" for ch in text)
    simplified = {p[0] for p in SCRIPT_PAIRS if p[0] != p[1]}
    traditional = {p[1] for p in SCRIPT_PAIRS if p[0] != p[1]}
    if language == "0419" and not cyrillic:
        faults.append("the Russian pack holds no Cyrillic text")
    if language in ("0804", "0C04") and not cjk:
        faults.append("the Chinese pack holds no Chinese text")
    if language == "0409" and (cyrillic or cjk):
        faults.append("the English pack holds Cyrillic or Chinese text")
    wrong = {"0804": traditional, "0C04": simplified}.get(language, set())
    mixed = sorted({ch for ch in text if ch in wrong})
    if mixed:
        faults.append("the %s pack mixes in characters of the other Chinese script: %s"
                      % (language, "".join(mixed)))


def check_pack(module, language, faults):
    check_inventory(module, faults)
    if module.import_count():
        faults.append("the pack imports from %d DLLs" % module.import_count())
    if module.export_count():
        faults.append("the pack exports %d functions" % module.export_count())
    check_language(module, language, faults)


def main(argv):
    if len(argv) < 3 or argv[1] not in ("program", "pack"):
        sys.exit(__doc__)
    module = pe.Module(argv[2])
    faults = []
    if argv[1] == "program":
        check_inventory(module, faults)
        check_built_in_set(module, faults)
        check_version(module, faults)
    else:
        check_pack(module, argv[3], faults)
    expected = argv[argv.index("--expect") + 1:] if "--expect" in argv else None
    for fault in faults:
        print(fault)
    if expected is not None:
        missed = [e for e in expected if not any(e in f for f in faults)]
        for e in missed:
            print("NOT CAUGHT: %s" % e)
        return 1 if missed else 0
    print("%s: %s" % (argv[2], "faults found" if faults else "all checks passed"))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
