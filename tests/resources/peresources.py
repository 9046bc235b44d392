"""Reads the resources of a built Windows module (PE32 or PE32+) without
Windows: the resource tree, dialog templates in the classic form, string
tables, version information, icon groups and bitmap headers; and counts a
module's imports and exports.
"""
import struct

RT_BITMAP = 2
RT_ICON = 3
RT_DIALOG = 5
RT_STRING = 6
RT_GROUP_ICON = 14
RT_VERSION = 16

EXTENDED_DIALOG_SIGNATURE = 0xFFFF0001


class FormatError(Exception):
    pass


class Module:
    """A PE file's resources by (type, name) -> {language: bytes}."""

    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        self.path = path
        self._parse_headers()
        self.resources = {}
        rva, _ = self.directories[2] if len(self.directories) > 2 else (0, 0)
        if rva:
            self._walk_resources(self._offset(rva))

    # --- headers ---------------------------------------------------------
    def _parse_headers(self):
        d = self.data
        if d[:2] != b"MZ":
            raise FormatError("not an MZ file")
        pe = struct.unpack_from("<I", d, 0x3C)[0]
        if d[pe:pe + 4] != b"PE\0\0":
            raise FormatError("no PE signature")
        self.machine, sections, _, _, _, optional_size, _ = struct.unpack_from("<HHIIIHH", d, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", d, optional)[0]
        if magic == 0x10B:
            count_at, dirs_at = optional + 92, optional + 96
        elif magic == 0x20B:
            count_at, dirs_at = optional + 108, optional + 112
        else:
            raise FormatError("unknown optional header magic %#x" % magic)
        self.is_64bit = magic == 0x20B
        count = struct.unpack_from("<I", d, count_at)[0]
        self.directories = [struct.unpack_from("<II", d, dirs_at + 8 * i) for i in range(count)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            name, vsize, vaddr, raw_size, raw_ptr = struct.unpack_from("<8sIIII", d, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode("ascii", "replace"), vaddr,
                                  max(vsize, raw_size), raw_ptr))

    def _offset(self, rva):
        for _, vaddr, size, raw_ptr in self.sections:
            if vaddr <= rva < vaddr + size:
                return raw_ptr + rva - vaddr
        raise FormatError("address %#x lies in no section" % rva)

    # --- resource tree ---------------------------------------------------
    def _walk_resources(self, base):
        for type_id, type_dir in self._entries(base, base):
            for name_id, name_dir in self._entries(base, type_dir):
                for lang_id, leaf in self._entries(base, name_dir):
                    rva, size, _, _ = struct.unpack_from("<IIII", self.data, leaf)
                    start = self._offset(rva)
                    self.resources.setdefault((type_id, name_id), {})[lang_id] = \
                        self.data[start:start + size]

    def _entries(self, base, directory):
        named, ids = struct.unpack_from("<HH", self.data, directory + 12)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", self.data, directory + 16 + 8 * i)
            if name & 0x80000000:
                at = base + (name & 0x7FFFFFFF)
                length = struct.unpack_from("<H", self.data, at)[0]
                key = self.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            else:
                key = name
            yield key, base + (target & 0x7FFFFFFF)

    def find(self, rtype, name):
        """The resource's data when it has exactly one language version."""
        versions = self.resources.get((rtype, name), {})
        return next(iter(versions.values())) if len(versions) == 1 else None

    def languages(self, rtype, name):
        return sorted(self.resources.get((rtype, name), {}))

    # --- imports and exports ----------------------------------------------
    def import_count(self):
        """Number of DLLs the module imports from."""
        rva, size = self.directories[1] if len(self.directories) > 1 else (0, 0)
        if not rva or not size:
            return 0
        at, count = self._offset(rva), 0
        while any(struct.unpack_from("<5I", self.data, at)):
            count += 1
            at += 20
        return count

    def export_count(self):
        rva, size = self.directories[0] if self.directories else (0, 0)
        if not rva or not size:
            return 0
        functions, names = struct.unpack_from("<II", self.data, self._offset(rva) + 20)
        return max(functions, names)

    # --- typed resources ----------------------------------------------------
    def string(self, number):
        block = self.find(RT_STRING, (number >> 4) + 1)
        if block is None:
            return None
        at = 0
        for i in range(16):
            length = struct.unpack_from("<H", block, at)[0]
            text = block[at + 2:at + 2 + 2 * length].decode("utf-16-le")
            at += 2 + 2 * length
            if i == number & 15:
                return text if length else None
        return None

    def dialog(self, number):
        data = self.find(RT_DIALOG, number)
        return None if data is None else Dialog(data)

    def version_info(self):
        data = self.find(RT_VERSION, 1)
        return None if data is None else VersionInfo(data)

    def icon_group(self, number):
        data = self.find(RT_GROUP_ICON, number)
        if data is None:
            return None
        _, kind, count = struct.unpack_from("<HHH", data, 0)
        images = []
        for i in range(count):
            w, h, colours, _, planes, bits, size, icon_id = struct.unpack_from("<BBBBHHIH", data, 6 + 14 * i)
            images.append(IconImage(w or 256, h or 256, bits, icon_id, self.find(RT_ICON, icon_id)))
        return images

    def bitmap(self, number):
        data = self.find(RT_BITMAP, number)
        return None if data is None else DibHeader(data)


class DibHeader:
    def __init__(self, data):
        self.size = len(data)
        if len(data) < 40:
            self.header_size = 0
            return
        (self.header_size, self.width, self.height, self.planes, self.bit_count,
         self.compression, self.image_size, _, _, self.colours_used, _) = \
            struct.unpack_from("<IiiHHIIiiII", data, 0)

    def valid_uncompressed(self):
        """A DIB with a standard header, no compression, and all its pixels."""
        if self.header_size < 40 or self.compression != 0 or self.planes != 1:
            return False
        if self.bit_count not in (1, 4, 8, 24, 32) or self.width <= 0 or self.height == 0:
            return False
        palette = (self.colours_used or (1 << self.bit_count)) * 4 if self.bit_count <= 8 else 0
        row = ((self.width * self.bit_count + 31) // 32) * 4
        return self.size >= self.header_size + palette + row * abs(self.height)


class IconImage:
    def __init__(self, width, height, bits, icon_id, data):
        self.width, self.height, self.bits, self.icon_id = width, height, bits, icon_id
        self.dib = DibHeader(data) if data is not None else None

    def has_mask(self):
        """The image's DIB holds a colour part and a 1-bit mask of its size."""
        dib = self.dib
        if dib is None or not dib.header_size or dib.height != 2 * self.height:
            return False
        palette = (dib.colours_used or (1 << dib.bit_count)) * 4 if dib.bit_count <= 8 else 0
        xor_row = ((self.width * dib.bit_count + 31) // 32) * 4
        and_row = ((self.width + 31) // 32) * 4
        return dib.size >= dib.header_size + palette + (xor_row + and_row) * self.height


def _sz_or_ord(data, at):
    """A template's 'number or name' field: (int or str or None, next position)."""
    first = struct.unpack_from("<H", data, at)[0]
    if first == 0xFFFF:
        return struct.unpack_from("<H", data, at + 2)[0], at + 4
    if first == 0:
        return None, at + 2
    return _sz(data, at)


def _sz(data, at):
    end = at
    while struct.unpack_from("<H", data, end)[0]:
        end += 2
    return data[at:end].decode("utf-16-le"), end + 2


class Control:
    CLASS_ATOMS = {0x80: "button", 0x81: "edit", 0x82: "static", 0x83: "listbox",
                   0x84: "scrollbar", 0x85: "combobox"}

    def __init__(self, style, exstyle, x, y, cx, cy, ident, window_class, text, extra):
        self.style, self.exstyle = style, exstyle
        self.x, self.y, self.cx, self.cy = x, y, cx, cy
        self.id = ident
        self.window_class = window_class  # atom (int) or name (str), as stored
        self.text = text                  # str, ordinal (int) or None
        self.extra = extra

    def class_name(self):
        """The class as the platform resolves it, lower case."""
        if isinstance(self.window_class, int):
            return self.CLASS_ATOMS.get(self.window_class, "#%d" % self.window_class)
        return self.window_class.lower()


class Dialog:
    def __init__(self, data):
        self.extended = struct.unpack_from("<I", data, 0)[0] == EXTENDED_DIALOG_SIGNATURE
        self.controls = []
        if self.extended:
            return
        self.style, self.exstyle, count, self.x, self.y, self.cx, self.cy = \
            struct.unpack_from("<IIHhhhh", data, 0)
        at = 18
        self.menu, at = _sz_or_ord(data, at)
        self.window_class, at = _sz_or_ord(data, at)
        self.caption, at = _sz(data, at)
        self.font_size = self.font_face = None
        if self.style & 0x40:  # DS_SETFONT
            self.font_size = struct.unpack_from("<H", data, at)[0]
            self.font_face, at = _sz(data, at + 2)
        for _ in range(count):
            at = (at + 3) & ~3
            style, exstyle, x, y, cx, cy, ident = struct.unpack_from("<IIhhhhH", data, at)
            window_class, at = _sz_or_ord(data, at + 18)
            text, at = _sz_or_ord(data, at)
            text = "" if text is None else text
            extra = struct.unpack_from("<H", data, at)[0]
            at += 2 + extra
            self.controls.append(Control(style, exstyle, x, y, cx, cy,
                                         -1 if ident == 0xFFFF else ident, window_class, text, extra))


class VersionInfo:
    def __init__(self, data):
        key, value, children = self._block(data, 0)[:3]
        if key != "VS_VERSION_INFO" or len(value) < 52:
            raise FormatError("not a version resource")
        fields = struct.unpack_from("<13I", value, 0)
        (self.signature, _, fv_ms, fv_ls, pv_ms, pv_ls, self.flags_mask, self.flags,
         self.os, self.file_type, self.file_subtype, date_ms, date_ls) = fields
        self.file_version = (fv_ms >> 16, fv_ms & 0xFFFF, fv_ls >> 16, fv_ls & 0xFFFF)
        self.product_version = (pv_ms >> 16, pv_ms & 0xFFFF, pv_ls >> 16, pv_ls & 0xFFFF)
        self.file_date = (date_ms << 32) | date_ls
        self.string_tables = {}
        self.translations = []
        for child_key, _, grandchildren in children:
            if child_key == "StringFileInfo":
                for table_key, _, strings in grandchildren:
                    self.string_tables[table_key] = {k: v for k, v, _ in strings}
            elif child_key == "VarFileInfo":
                for var_key, var_value, _ in grandchildren:
                    if var_key == "Translation":
                        for i in range(0, len(var_value) - 3, 4):
                            self.translations.append(struct.unpack_from("<HH", var_value, i))

    def _block(self, data, at):
        length, value_length, kind = struct.unpack_from("<HHH", data, at)
        end = at + length
        key, pos = _sz(data, at + 6)
        pos = (pos + 3) & ~3
        if kind == 1:  # text, value length in characters (with the terminator)
            raw = data[pos:pos + 2 * value_length]
            value = raw.decode("utf-16-le").split("\0")[0]
            pos += 2 * value_length
        else:
            value = data[pos:pos + value_length]
            pos += value_length
        children = []
        pos = (pos + 3) & ~3
        while pos < end:
            child = self._block(data, pos)
            children.append(child[:3])
            pos = (child[3] + 3) & ~3
        return key, value, children, end
