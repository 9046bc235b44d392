#!/usr/bin/env python3
"""Checks a built Windows binary from the host with objdump -p.

  check_binary.py imports OBJDUMP FILE ARCH [--eboot]
      the file is for ARCH (i686 or x86_64) and imports only Windows system
      DLLs (and eboot.dll with --eboot)
  check_binary.py eboot-imports OBJDUMP FILE [--some]
      the file imports eboot.dll's entry points 5, 9, 10, 11 (with --some: a
      part of them) by ordinal only
  check_binary.py eboot-exports OBJDUMP FILE [NAME...]
      the file exports ordinals 5, 9, 10, 11, and no names but the NAMEs
      given (each of which may take an ordinal of its own)
  check_binary.py others OBJDUMP BINDIR ARCH KNOWN...
      "imports" for every .exe and .dll in BINDIR not named among KNOWN

Exit 0: passed; 1: failed; 77: the binary is not built (yet).
"""
import os
import re
import subprocess
import sys

SKIP = 77

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "comdlg32.dll",
    "advapi32.dll", "shell32.dll", "shlwapi.dll", "ole32.dll", "oleaut32.dll",
    "msvcrt.dll", "version.dll", "uxtheme.dll", "imm32.dll", "winmm.dll",
    "ntdll.dll",
}
FORMATS = {"i686": "pei-i386", "x86_64": "pei-x86-64"}
EBOOT_ORDINALS = {5, 9, 10, 11}


class DumpError(Exception):
    pass


def dump(objdump, path):
    run = subprocess.run([objdump, "-p", path], capture_output=True, text=True)
    if run.returncode != 0:
        raise DumpError("%s cannot read %s: %s" % (objdump, path, run.stderr.strip()))
    return run.stdout


def import_blocks(text):
    """{dll name (lower case): [entry lines]} from objdump's import tables."""
    blocks = {}
    current = None
    for line in text.splitlines():
        m = re.match(r"\s*DLL Name:\s*(\S+)", line)
        if m:
            current = blocks.setdefault(m.group(1).lower(), [])
            continue
        if current is None:
            continue
        if not line.strip():
            current = None
        elif "Hint/Ord" not in line:
            current.append(line.strip())
    return blocks


def check_imports(objdump, path, arch, allow_eboot):
    text = dump(objdump, path)
    problems = []
    fmt = re.search(r"file format (\S+)", text)
    if not fmt or fmt.group(1) != FORMATS[arch]:
        problems.append("file format %s, expected %s" % (fmt and fmt.group(1), FORMATS[arch]))
    allowed = SYSTEM_DLLS | ({"eboot.dll"} if allow_eboot else set())
    for dll in sorted(import_blocks(text)):
        if dll not in allowed:
            problems.append("imports %s" % dll)
    return problems


def check_eboot_imports(objdump, path, some):
    entries = import_blocks(dump(objdump, path)).get("eboot.dll")
    if entries is None:
        return ["does not import eboot.dll"]
    problems = []
    ordinals = set()
    for entry in entries:
        fields = entry.split()
        value = int(fields[0], 16)
        # An ordinal import is the whole thunk with its top bit set.
        width = len(fields[0]) * 4
        by_ordinal = width in (32, 64) and value >> (width - 1) == 1
        if not by_ordinal or fields[-1] != "<none>":
            problems.append("imported by name: %s" % entry)
            continue
        ordinals.add(value & 0xFFFF)
    if not (ordinals <= EBOOT_ORDINALS if some else ordinals == EBOOT_ORDINALS) or not ordinals:
        problems.append("ordinals %s, expected %s" % (sorted(ordinals), sorted(EBOOT_ORDINALS)))
    return problems


def check_eboot_exports(objdump, path, allowed_names):
    text = dump(objdump, path)
    problems = []
    ordinals = set()
    in_addresses = False
    for line in text.splitlines():
        if line.startswith("Export Address Table -- Ordinal Base"):
            in_addresses = True
            continue
        if in_addresses:
            m = re.match(r"\s*\[\s*\d+\]\s*\+base\[\s*(\d+)\]\s*([0-9a-fA-F]+)", line)
            if not m:
                break
            if int(m.group(2), 16) != 0:
                ordinals.add(int(m.group(1)))
    names = []
    in_names = False
    for line in text.splitlines():
        if line.startswith("[Ordinal/Name Pointer] Table"):
            in_names = True
            continue
        if in_names:
            m = re.match(r"\s*\[\s*\d+\]\s*(\S+)", line)
            if not m:
                break
            names.append(m.group(1))
    extra = [n for n in names if n not in allowed_names]
    if extra:
        problems.append("exports names %s" % extra)
    if not EBOOT_ORDINALS <= ordinals or len(ordinals - EBOOT_ORDINALS) > len(names):
        problems.append("exports ordinals %s, expected %s"
                        % (sorted(ordinals), sorted(EBOOT_ORDINALS)))
    return problems


def main(argv):
    command, objdump = argv[1], argv[2]
    if command == "others":
        bindir, arch, known = argv[3], argv[4], {k.lower() for k in argv[5:]}
        others = sorted(f for f in os.listdir(bindir) if os.path.isdir(bindir)
                        and f.lower().endswith((".exe", ".dll")) and f.lower() not in known) \
            if os.path.isdir(bindir) else []
        if not others:
            print("skipped: no other binaries in", bindir)
            return SKIP
        problems = []
        for name in others:
            problems += ["%s: %s" % (name, p)
                         for p in check_imports(objdump, os.path.join(bindir, name), arch, False)]
    else:
        path = argv[3]
        if not os.path.exists(path):
            print("skipped: %s is not built" % path)
            return SKIP
        if command == "imports":
            problems = check_imports(objdump, path, argv[4], "--eboot" in argv[5:])
        elif command == "eboot-imports":
            problems = check_eboot_imports(objdump, path, "--some" in argv[4:])
        elif command == "eboot-exports":
            problems = check_eboot_exports(objdump, path, set(argv[4:]))
        else:
            print("unknown check", command)
            return 2
    for p in problems:
        print("FAIL:", p)
    if not problems:
        print("ok")
    return 1 if problems else 0


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except DumpError as error:
        print("FAIL:", error)
        sys.exit(1)
