#!/usr/bin/env python3
"""Turns resources/strings.txt into the .rc STRINGTABLE and the C++ table that native code sees."""
import sys


def parse(path):
    entries = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            if "\t" not in line:
                sys.exit(f"{path}:{number}: expected id<TAB>text")
            key, text = line.split("\t", 1)
            ident = int(key)
            if not 0 < ident < 65536:
                sys.exit(f"{path}:{number}: id {ident} out of range")
            value = unescape(text, path, number)
            # Branches merged as a union may each bring the same line; only differing texts are a fault.
            if entries.get(ident, value) != value:
                sys.exit(f"{path}:{number}: id {ident} stands twice")
            entries[ident] = value
    return sorted(entries.items())


def unescape(text, path, number):
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c == "\\" and i + 1 < len(text):
            n = text[i + 1]
            mapping = {"n": "\n", "t": "\t", '"': '"', "\\": "\\", "r": "\r"}
            if n not in mapping:
                sys.exit(f"{path}:{number}: unknown escape \\{n}")
            out.append(mapping[n])
            i += 2
        else:
            out.append(c)
            i += 1
    return "".join(out)


def units(text):
    data = text.encode("utf-16-le")
    return [int.from_bytes(data[i:i + 2], "little") for i in range(0, len(data), 2)]


def cpp_literal(text):
    parts = []
    for u in units(text):
        if 0x20 <= u < 0x7F and chr(u) not in '"\\?':
            parts.append(chr(u))
        else:
            parts.append("\\x%04X\" u\"" % u)  # closed and reopened (a blank between, or u would be a suffix) so that a following hex digit stays apart
    return 'u"' + "".join(parts) + '"'


def rc_literal(text):
    parts = []
    for u in units(text):
        if 0x20 <= u < 0x7F and chr(u) not in '"\\':
            parts.append(chr(u))
        elif u == 0x22:
            parts.append('""')
        else:
            parts.append("\\x%04X" % u)
    return 'L"' + "".join(parts) + '"'


def main():
    src, cpp_out, rc_out = sys.argv[1:4]
    entries = parse(src)
    with open(cpp_out, "w", encoding="ascii") as f:
        f.write("// Generated from resources/strings.txt; do not edit.\n")
        f.write('#include "base/TextCatalog.h"\n\nnamespace kv {\n\nconst StringTableEntry kStringTable[] = {\n')
        for ident, text in entries:
            f.write("    {%d, %s},\n" % (ident, cpp_literal(text)))
        f.write("};\nconst unsigned kStringTableSize = %d;\n\n} // namespace kv\n" % len(entries))
    with open(rc_out, "w", encoding="ascii") as f:
        f.write("// Generated from resources/strings.txt; do not edit.\nSTRINGTABLE\nBEGIN\n")
        for ident, text in entries:
            f.write("    %d, %s\n" % (ident, rc_literal(text)))
        f.write("END\n")


if __name__ == "__main__":
    main()
