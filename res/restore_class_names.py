#!/usr/bin/env python3
"""Gives window class names in the dialog templates of a .res file back the
spelling the script used.

windres stores every class name of a CONTROL statement in upper case. Class
lookup ignores case, but the templates should carry the platform's own
spelling, as other resource compilers write it. Only dialog resources are
touched and names keep their length, so no offset in the file moves.

Usage: restore_class_names.py IN.res OUT.res
"""
import struct
import sys

CLASS_NAMES = ["msctls_progress32"]
RT_DIALOG = 5


def read_id(data, pos):
    """A type or name field of a .res header: (value, next position)."""
    if struct.unpack_from("<H", data, pos)[0] == 0xFFFF:
        return struct.unpack_from("<H", data, pos + 2)[0], pos + 4
    end = pos
    while struct.unpack_from("<H", data, end)[0] != 0:
        end += 2
    return data[pos:end].decode("utf-16-le"), end + 2


def restore(data):
    out = bytearray(data)
    pos = 0
    while pos + 8 <= len(data):
        data_size, header_size = struct.unpack_from("<II", data, pos)
        rtype, _ = read_id(data, pos + 8)
        start = pos + header_size
        if rtype == RT_DIALOG:
            body = bytes(out[start:start + data_size])
            for name in CLASS_NAMES:
                upper = (name.upper() + "\0").encode("utf-16-le")
                body = body.replace(upper, (name + "\0").encode("utf-16-le"))
            out[start:start + data_size] = body
        pos = (start + data_size + 3) & ~3
    if pos != len(data):
        sys.exit("malformed .res file")
    return bytes(out)


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    with open(sys.argv[1], "rb") as f:
        data = f.read()
    with open(sys.argv[2], "wb") as f:
        f.write(restore(data))


if __name__ == "__main__":
    main()
