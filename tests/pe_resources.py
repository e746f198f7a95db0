#!/usr/bin/env python3
"""Reads the resources back from a built PE file and checks them.

pe_resources.py PE_FILE --declared RES_FILE [--need TYPE:ID ...] [--version A.B.C.D]

RES_FILE is the resource script compiled on its own (windres -O res), or another PE file
(such as the same module built for the other processor): every resource it holds must be in
the PE file with the same language and the same bytes, and the PE file must hold no other.
--need names resources that must be there (dialog, icon or string and its number); --version
is the file and product version the version record must carry, in its numbers and in its
"FileVersion" and "ProductVersion" strings.
"""
import argparse
import struct
import sys

# Resource types by the names --need uses; an icon is a group that lists its images.
TYPES = {"dialog": 5, "string": 6, "icon": 14, "version": 16}
ICON_IMAGE = 3


def u16(data, offset):
    return struct.unpack_from("<H", data, offset)[0]


def u32(data, offset):
    return struct.unpack_from("<I", data, offset)[0]


def utf16z(data, offset):
    """A zero-ended UTF-16 string: the text and the offset after its zero."""
    end = offset
    while u16(data, end) != 0:
        end += 2
    return data[offset:end].decode("utf-16-le"), end + 2


def pe_resources(data):
    """{(type, name, language): bytes} from the PE file's resource directory."""
    if data[:2] != b"MZ":
        raise ValueError("not a PE file")
    pe = u32(data, 0x3C)
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE file")
    sections, optional_size = u16(data, pe + 6), u16(data, pe + 20)
    optional = pe + 24
    magic = u16(data, optional)
    directories = optional + (96 if magic == 0x10B else 112)
    rsrc_rva = u32(data, directories + 2 * 8)
    if rsrc_rva == 0:
        return {}
    table = optional + optional_size
    for i in range(sections):
        header = table + 40 * i
        size, rva, raw_size, raw = struct.unpack_from("<IIII", data, header + 8)
        if rva <= rsrc_rva < rva + max(size, raw_size):
            delta = raw - rva
            break
    else:
        raise ValueError("resource directory outside every section")
    base = rsrc_rva + delta

    def name_of(entry_name):
        if entry_name & 0x80000000:
            at = base + (entry_name & 0x7FFFFFFF)
            return data[at + 2:at + 2 + 2 * u16(data, at)].decode("utf-16-le")
        return entry_name

    def entries(offset):
        named, ids = u16(data, base + offset + 12), u16(data, base + offset + 14)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
            yield name_of(name), target

    found = {}
    for rtype, types_at in entries(0):
        for name, names_at in entries(types_at & 0x7FFFFFFF):
            for language, leaf in entries(names_at & 0x7FFFFFFF):
                data_rva, size = struct.unpack_from("<II", data, base + leaf)
                found[(rtype, name, language)] = data[data_rva + delta:data_rva + delta + size]
    return found


def res_resources(data):
    """{(type, name, language): bytes} from a compiled resource file (.res)."""
    def name_or_id(offset):
        if u16(data, offset) == 0xFFFF:
            return u16(data, offset + 2), offset + 4
        return utf16z(data, offset)

    found = {}
    offset = 0
    while offset + 8 <= len(data):
        size, header_size = u32(data, offset), u32(data, offset + 4)
        rtype, at = name_or_id(offset + 8)
        name, at = name_or_id(at)
        at = (at + 3) & ~3
        language = u16(data, at + 6)
        body = offset + header_size
        if rtype != 0:  # the file starts with an empty entry
            found[(rtype, name, language)] = data[body:body + size]
        offset = (body + size + 3) & ~3
    return found


def dialog_caption(template):
    # The menu follows the fixed header: 26 bytes in an extended template, 18 in a plain one.
    at = 26 if u16(template, 0) == 1 and u16(template, 2) == 0xFFFF else 18
    for _ in range(2):  # menu, window class
        first = u16(template, at)
        at = at + 4 if first == 0xFFFF else utf16z(template, at)[1]
    return utf16z(template, at)[0]


def string_from_table(block, index):
    at = 0
    for _ in range(index):
        at += 2 + 2 * u16(block, at)
    return block[at + 2:at + 2 + 2 * u16(block, at)].decode("utf-16-le")


def version_record(record):
    """The file and product version numbers and the strings of the string tables."""
    strings = {}

    def node(at):
        length, value_length, kind = struct.unpack_from("<HHH", record, at)
        key, value_at = utf16z(record, at + 6)
        value_at = (value_at + 3) & ~3
        if kind == 1 and value_length:
            strings[key] = utf16z(record, value_at)[0]
            value_bytes = 2 * value_length
        else:
            value_bytes = value_length
        child = (value_at + value_bytes + 3) & ~3
        while child < at + length:
            child = (node(child)[0] + 3) & ~3
        return at + length, key, value_at

    _, key, fixed = node(0)
    if key != "VS_VERSION_INFO" or u32(record, fixed) != 0xFEEF04BD:
        raise ValueError("not a version record")

    def numbers(ms, ls):
        return f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"

    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIII", record, fixed + 8)
    return numbers(file_ms, file_ls), numbers(product_ms, product_ls), strings


def find(resources, rtype, name):
    return [body for (t, n, _), body in resources.items() if t == rtype and n == name]


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("pe")
    parser.add_argument("--declared", required=True)
    parser.add_argument("--need", action="append", default=[])
    parser.add_argument("--version")
    args = parser.parse_args()
    with open(args.pe, "rb") as f:
        built = pe_resources(f.read())
    with open(args.declared, "rb") as f:
        other = f.read()
    declared = pe_resources(other) if other[:2] == b"MZ" else res_resources(other)

    faults = []
    for key in sorted(set(declared) | set(built), key=str):
        if key not in built:
            faults.append(f"missing {key}")
        elif key not in declared:
            faults.append(f"not declared {key}")
        elif built[key] != declared[key]:
            faults.append(f"differs from the declaration {key}")

    for need in args.need:
        kind, number = need.split(":")
        number = int(number)
        if kind == "string":
            blocks = find(built, TYPES["string"], number // 16 + 1)
            text = string_from_table(blocks[0], number % 16) if blocks else ""
            print(f"string {number}: {text!r}")
            if not text:
                faults.append(f"no string {number}")
        elif not find(built, TYPES[kind], number):
            faults.append(f"no {kind} {number}")
        elif kind == "dialog":
            print(f"dialog {number}: {dialog_caption(find(built, TYPES['dialog'], number)[0])!r}")
        elif kind == "icon":
            group = find(built, TYPES["icon"], number)[0]
            images = [u16(group, 6 + 14 * i + 12) for i in range(u16(group, 4))]
            print(f"icon {number}: images {images}")
            faults += [f"no icon image {i}" for i in images if not find(built, ICON_IMAGE, i)]

    if args.version:
        records = find(built, TYPES["version"], 1)
        if not records:
            faults.append("no version record")
        else:
            file_version, product_version, strings = version_record(records[0])
            print(f"version record: file {file_version}, product {product_version}")
            for key, value in strings.items():
                print(f"  {key}: {value!r}")
            text = ", ".join(args.version.split("."))
            if (file_version, product_version) != (args.version, args.version):
                faults.append(f"version numbers are not {args.version}")
            for key in ("FileVersion", "ProductVersion"):
                if strings.get(key) != text:
                    faults.append(f"{key} is {strings.get(key)!r}, not {text!r}")

    for fault in faults:
        print(f"{args.pe}: {fault}")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
