#!/usr/bin/env python3
"""Every text the user sees comes from the resource module; the program's
code holds no such text. This finds the wide string literals (L"...",
u"...", TEXT("..."), _T("...")) in the product's sources and reports each
one that is not on the list below of literals that are settings rather
than texts, or that the program makes itself by design.

  check_literals.py ROOT [FOLDER...]   (default folders: wizard app engine)
"""
import os
import re
import sys

ALLOWED = {
    "",                                            # an empty text
    "%d%%",                                        # the percentage figure
    "%d",                                          # the icon-failure message's number
    "bin",                                         # the file dialog's default extension
    "Flash",                                       # the file dialog's initial file name
    ".\\FLASH.bin",                                # the downloader's image path before a choice
    "Bin Files(*.bin)|*.bin|All Files(*.*)|*.*||", # the file dialog's filter
    "Phone",                                       # the semaphore's and window property's name
    "Config",                                      # Config.ini's section
    "Language",                                    # and its key
    "Config.ini",
    "Language.0409.dll",                           # the language packs' file names
    "Language.0804.dll",
    "Language.0C04.dll",
    "Language.0419.dll",
}

SOURCE_SUFFIXES = (".cpp", ".cc", ".c", ".h", ".hpp", ".inl")

TOKEN = re.compile(r"""
      (?P<comment>//[^\n]*|/\*.*?\*/)
    | (?P<directive>^[ \t]*\#[ \t]*include[^\n]*)
    | (?P<raw>(?:L|u8|u|U)?R"(?P<delim>[^(\s]*)\((?P<rawbody>.*?)\)(?P=delim)")
    | (?P<string>(?P<prefix>L|u8|u|U)?"(?P<body>(?:\\.|[^"\\\n])*)")
    | (?P<char>(?:L|u8|u|U)?'(?:\\.|[^'\\\n])*')
""", re.S | re.M | re.X)

ESCAPES = {"n": "\n", "t": "\t", "r": "\r", "0": "\0", "\\": "\\", '"': '"', "'": "'"}


def unescape(body):
    return re.sub(r"\\(.)", lambda m: ESCAPES.get(m.group(1), m.group(0)), body)


def wide_literals(text):
    """(line, literal) for each wide literal of a C++ source."""
    found = []
    for match in TOKEN.finditer(text):
        if not (match.group("string") or match.group("raw")):
            continue  # comments, #include names, character literals
        if match.group("raw"):
            prefix = match.group("raw").split('R"', 1)[0]
            value = match.group("rawbody")
        else:
            prefix = match.group("prefix") or ""
            value = unescape(match.group("body"))
        before = text[:match.start()]
        in_macro = re.search(r"\b(?:TEXT|_T|_TEXT|__TEXT)\s*\(\s*$", before[-20:]) is not None
        if prefix in ("L", "u") or in_macro:
            found.append((before.count("\n") + 1, value))
    return found


def is_allowed(value):
    # A literal with no letter or digit in it (a separator, a space) is no text.
    return value in ALLOWED or not any(ch.isalnum() for ch in value)


def main(argv):
    if len(argv) < 2:
        sys.exit(__doc__)
    root = argv[1]
    folders = argv[2:] or ["wizard", "app", "engine"]
    faults, scanned = [], 0
    for folder in folders:
        for directory, _, files in os.walk(os.path.join(root, folder)):
            for name in sorted(files):
                if not name.endswith(SOURCE_SUFFIXES):
                    continue
                path = os.path.join(directory, name)
                with open(path, encoding="utf-8", errors="replace") as f:
                    source = f.read()
                scanned += 1
                for line, value in wide_literals(source):
                    if not is_allowed(value):
                        faults.append("%s:%d: literal %r is not a resource" % (os.path.relpath(path, root), line, value))
    for fault in faults:
        print(fault)
    print("%d source files scanned, %d literals that should be resources" % (scanned, len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
