"""Reads what the release checks need from the modules themselves: a PE32+ DLL's sections,
exports, version resource and debug link, and an ELF shared object's sections and exports
(the logic of tests/support/BinaryExports.cpp)."""

import struct


def _cstring(data, offset, encoding="ascii"):
    end = data.index(b"\0", offset)
    return data[offset:end].decode(encoding)


class Pe:
    def __init__(self, data):
        if data[:2] != b"MZ":
            raise ValueError("not an MZ image")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        self.data = data
        (count, self.timestamp, symbols, symbol_count,
         optional_size) = struct.unpack_from("<2xHIIIH", data, pe + 4)
        self.symbol_count = symbol_count
        optional = pe + 24
        if struct.unpack_from("<H", data, optional)[0] != 0x20B:
            raise ValueError("not PE32+")
        directory_count = struct.unpack_from("<I", data, optional + 108)[0]
        self.directories = [struct.unpack_from("<II", data, optional + 112 + 8 * i)
                            for i in range(directory_count)]
        # Names longer than eight bytes are "/N", N an offset into the COFF string table.
        strings = symbols + 18 * symbol_count
        self.sections = {}
        for i in range(count):
            header = optional + optional_size + 40 * i
            name = data[header:header + 8].rstrip(b"\0").decode("ascii")
            if name.startswith("/"):
                name = _cstring(data, strings + int(name[1:]))
            vsize, va, raw_size, raw_offset = struct.unpack_from("<IIII", data, header + 8)
            self.sections[name] = (va, vsize, raw_offset, raw_size)

    def section(self, name):
        va, vsize, raw_offset, raw_size = self.sections[name]
        return self.data[raw_offset:raw_offset + (min(vsize, raw_size) if vsize else raw_size)]

    def offset(self, rva):
        for va, vsize, raw_offset, raw_size in self.sections.values():
            if va <= rva < va + max(vsize, raw_size):
                return raw_offset + rva - va
        raise ValueError(f"address {rva:#x} outside every section")

    def directory(self, index):
        """File offset of data directory `index` (0 exports, 2 resources), None when absent."""
        rva, size = self.directories[index] if index < len(self.directories) else (0, 0)
        return self.offset(rva) if rva and size else None

    def exports(self):
        at = self.directory(0)
        count, names = struct.unpack_from("<I4xI", self.data, at + 24)
        names = self.offset(names)
        return {_cstring(self.data, self.offset(struct.unpack_from("<I", self.data, names + 4 * i)[0]))
                for i in range(count)}

    def export_timestamp(self):
        return struct.unpack_from("<I", self.data, self.directory(0) + 4)[0]

    def debug_link(self):
        """(file name, CRC-32) of the .gnu_debuglink section."""
        link = self.section(".gnu_debuglink")
        name = _cstring(link, 0)
        crc_at = (len(name) + 1 + 3) // 4 * 4
        return name, struct.unpack_from("<I", link, crc_at)[0]

    def version_info(self):
        """The RT_VERSION resource: ((file version), (product version), {string: value})."""
        root = self.directory(2)
        data = self.data

        def entries(table):
            named, ids = struct.unpack_from("<HH", data, table + 12)
            return [struct.unpack_from("<II", data, table + 16 + 8 * i) for i in range(named + ids)]

        def child(entry):
            return root + (entry & 0x7FFFFFFF)

        version = [e for e in entries(root) if e[0] == 16]  # RT_VERSION
        if not version:
            raise ValueError("no version resource")
        name = entries(child(version[0][1]))[0]
        language = entries(child(name[1]))[0]
        rva, size = struct.unpack_from("<II", data, root + language[1])
        block = data[self.offset(rva):self.offset(rva) + size]
        key, value, children = _version_node(block, 0)
        if key != "VS_VERSION_INFO" or struct.unpack_from("<I", value)[0] != 0xFEEF04BD:
            raise ValueError("not a VS_VERSIONINFO")
        ms, ls, pms, pls = struct.unpack_from("<4I", value, 8)
        split = lambda high, low: (high >> 16, high & 0xFFFF, low >> 16, low & 0xFFFF)
        strings = {}
        for name, _, tables in children:
            if name == "StringFileInfo":
                for _, _, table in tables:
                    strings.update({k: v for k, v, _ in table})
        return split(ms, ls), split(pms, pls), strings


def _version_node(block, at):
    """(key, value, children) of the version structure at `at`; text values as str."""
    length, value_length, kind = struct.unpack_from("<HHH", block, at)
    end = block.index(b"\0\0", at + 6)
    while (end - at) % 2:
        end = block.index(b"\0\0", end + 1)
    key = block[at + 6:end].decode("utf-16-le")
    pos = (end + 2 + 3) // 4 * 4
    size = value_length * 2 if kind == 1 else value_length
    value = block[pos:pos + size]
    if kind == 1:
        value = value.decode("utf-16-le").rstrip("\0")
    pos = (pos + size + 3) // 4 * 4
    children = []
    while pos < at + length:
        children.append(_version_node(block, pos))
        pos = (pos + struct.unpack_from("<H", block, pos)[0] + 3) // 4 * 4
    return key, value, children


class Elf:
    def __init__(self, data):
        if data[:4] != b"\x7fELF" or data[4] != 2 or data[5] != 1:
            raise ValueError("not a 64-bit little-endian ELF object")
        self.data = data
        table, = struct.unpack_from("<Q", data, 0x28)
        entry_size, count, names_index = struct.unpack_from("<HHH", data, 0x3A)
        headers = [struct.unpack_from("<IIQQQQII", data, table + entry_size * i) for i in range(count)]
        names_at = headers[names_index][4]
        # name, type, offset, size, link
        self.sections = [(_cstring(data, names_at + h[0]), h[1], h[4], h[5], h[6]) for h in headers]

    def section_names(self):
        return [s[0] for s in self.sections]

    def dynamic_exports(self):
        result = set()
        for _, kind, offset, size, link in self.sections:
            if kind != 11:  # SHT_DYNSYM
                continue
            strings = self.sections[link][2]
            for at in range(offset + 24, offset + size, 24):
                name, info, other, index = struct.unpack_from("<IBBH", self.data, at)
                if info >> 4 in (1, 2) and other & 3 == 0 and index != 0:  # global, default, defined
                    result.add(_cstring(self.data, strings + name))
        return result
