#!/usr/bin/env python3
"""Writes the seed inputs of the fuzz targets into fuzz/corpus/<target>/.

Every seed is made here, from the layouts the readers take; run it again after
changing a layout: python3 fuzz/make_corpus.py
"""
import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def utf16(text, bom=True):
    return (b"\xff\xfe" if bom else b"") + text.encode("utf-16-le")


# --- Version database -------------------------------------------------------

def database(entries, count=None, pointer=8, name=b"SkyrimSE.exe", fmt=1,
             version=(1, 5, 97, 0)):
    """entries: the encoded entry bytes; count defaults to their number."""
    out = struct.pack("<i4i", fmt, *version)
    out += struct.pack("<i", len(name)) + name
    out += struct.pack("<ii", pointer, len(entries) if count is None else count)
    return out + b"".join(entries)


def entry(type_byte, id_field=b"", offset_field=b""):
    return bytes([type_byte]) + id_field + offset_field


def u8(v):
    return struct.pack("<B", v)


def u16(v):
    return struct.pack("<H", v)


def u32(v):
    return struct.pack("<I", v)


def u64(v):
    return struct.pack("<Q", v)


def database_seeds():
    first = entry(0x00, u64(100), u64(4096))
    every_coding = [first] + [
        entry(0x11),                      # id + 1, offset + 1
        entry(0x22, u8(3), u8(5)),        # + byte, + byte
        entry(0x32, u8(1), u8(2)),        # + byte, - byte
        entry(0x44, u16(300), u16(700)),  # + word, + word
        entry(0x54, u16(2), u16(9)),      # + word, - word
        entry(0x66, u16(9000), u16(40)),  # the word, the word
        entry(0x77, u32(70000), u32(1 << 20)),  # the double word
        entry(0x91),                      # scaled + 1
        entry(0xA1, b"", u8(2)),          # scaled + byte
        entry(0xF1, b"", u32(12)),        # scaled double word
        entry(0x03, u8(4), u64(1)),       # id goes down: unsorted table
        entry(0x17),
    ]
    return {
        "example": database([first, entry(0x91)]),
        "every-coding": database(every_coding),
        "duplicate-id": database([first, entry(0x06, u16(100), u64(1))]),
        "no-entries": database([], count=0),
        "negative-count": database([], count=-1),
        "empty-name": database([first], name=b""),
        "pointer-size-3": database([first, entry(0x91), entry(0xA1, b"", u8(7))], pointer=3),
        "pointer-size-0": database([first, entry(0x91)], pointer=0),
        "bad-id-coding": database([first, entry(0x08)]),
        "short-entries": database([first], count=3),
        "format-2": database([first], fmt=2),
        "long-name": database([entry(0x11)], name=b"n" * 300),
    }


# --- Translation and key files ------------------------------------------------

TRANSLATION = ("$CW_Title\tCradlewright\r\n"
               "$CW_Greeting\tHallo Welt – grüße\r\n"
               "$CW_Empty\t\r\n"
               "$CW_Tab\tone\ttwo\n"
               "$$CW_Dollar\tmoney\r"
               "$CW_Title\tsecond\r\n")


def translation_seeds():
    def with_key(key, file_bytes):
        return bytes([len(key)]) + key + file_bytes
    return {
        "file": with_key(b"", utf16(TRANSLATION)),
        "asked-key": with_key(b"CW_Greeting", utf16(TRANSLATION, bom=False)),
        "surrogates": with_key(b"k", utf16("$k\tv\r\n") + b"\x00\xdc\x41\x00\x00\xd8\x00\xdc"),
        "high-units": with_key(b"k", utf16("$k\t\u00e9\u4e2d\ufeff") + b"\x00\xff"),
    }


KEY_FILE = "modName = Mod.esp\r\nform = #0012AB\r\npower_min=\t5 \r\npower_max\t= 0x1F\r\n"


def key_file_seeds():
    def with_key(key, file_bytes):
        return bytes([len(key)]) + key + file_bytes
    return {
        "utf16-form": with_key(b"form", utf16(KEY_FILE)),
        "utf16-modname": with_key(b"modName", utf16(KEY_FILE, bom=False)),
        "text-power": with_key(b"power_max", KEY_FILE.encode()),
        "decimal": with_key(b"power_min", b"power_min = -2147483649\n"),
        "near-end": with_key(b"form", b"xform = 7\rformID = 8\nform=9"),
    }


# --- Compiled scripts ---------------------------------------------------------

def counted(text):
    return struct.pack(">H", len(text)) + text


def script(entries, source=b"Example.psc", user=b"builder", machine=b"WORKSHOP", count=None):
    out = struct.pack(">IBBH", 0xFA57C0DE, 3, 2, 1) + struct.pack(">Q", 0x5F00_0000)
    out += counted(source) + counted(user) + counted(machine)
    out += struct.pack(">H", len(entries) if count is None else count)
    return out + b"".join(counted(e) for e in entries)


def script_seeds():
    def at(index, data):
        return struct.pack("<i", index) + data
    return {
        "table": at(2, script([b"a", b"bb", b"ccc"])),
        "negative-index": at(-5, script([b"GetState", b"", b"OnInit"])),
        "nul-inside": at(0, script([b"a\x00b", b"builder"], user=b"us\x00er")),
        "count-beyond": at(3, script([b"x", b"y"], count=200)),
        "long-entry": at(1, script([b"s" * 384, b"t" * 5000])),
        "header-only": at(0, script([], count=0)),
    }


# --- Whole compiled scripts ----------------------------------------------------

class Pex:
    """A compiled script written field by field, the names interned in its table."""

    def __init__(self):
        self.strings = [b""]

    def s(self, text):
        if text not in self.strings:
            self.strings.append(text)
        return struct.pack(">H", self.strings.index(text))

    def value(self, v):
        if v is None:
            return b"\0"
        if isinstance(v, bool):
            return b"\5" + bytes([v])
        if isinstance(v, int):
            return b"\3" + struct.pack(">i", v)
        if isinstance(v, float):
            return b"\4" + struct.pack(">f", v)
        if v.startswith(b'"'):
            return b"\2" + self.s(v[1:])
        return b"\1" + self.s(v)

    def function(self, code, params=(), local=(), ret=b"None", flags=1):
        out = self.s(ret) + self.s(b"") + struct.pack(">IB", 0, flags)
        for names in (params, local):
            out += struct.pack(">H", len(names)) + b"".join(self.s(n) + self.s(t) for n, t in names)
        out += struct.pack(">H", len(code))
        for op, *operands in code:
            fixed = {0x17: 3, 0x18: 2, 0x19: 3}.get(op, len(operands))
            out += bytes([op]) + b"".join(self.value(v) for v in operands[:fixed])
            if op in (0x17, 0x18, 0x19):
                out += self.value(len(operands) - fixed)
                out += b"".join(self.value(v) for v in operands[fixed:])
        return out

    def file(self, objects, lines, game_sizes=True):
        body = b""
        for name, data in objects:
            size = struct.pack(">I", len(data) + 4) if game_sizes else struct.pack("<I", len(data))
            body += self.s(name) + size + data
        debug = b"".join(self.s(o) + self.s(st) + self.s(f) + bytes([kind]) +
                         struct.pack(">H", len(ls)) + b"".join(struct.pack(">H", l) for l in ls)
                         for o, st, f, kind, ls in lines)
        flags = self.s(b"hidden") + b"\0" + self.s(b"conditional") + b"\1"
        head = struct.pack(">IBBHQ", 0xFA57C0DE, 3, 2, 1, 0x5F000000)
        head += counted(b"Made.psc") + counted(b"") + counted(b"vm")
        table = struct.pack(">H", len(self.strings)) + b"".join(counted(t) for t in self.strings)
        return (head + table + b"\1" + struct.pack(">QH", 0, len(lines)) + debug +
                struct.pack(">H", 2) + flags + struct.pack(">H", len(objects)) + body)


def pex_seeds():
    def quest(game_sizes):
        p = Pex()
        run = p.function([(0x19, b"debug", b"Trace", b"::NoneVar", b'"hi"', 0),
                          (0x01, b"::temp0", b"a", 2), (0x10, b"::temp1", b"::temp0", 1.5),
                          (0x16, b"::temp1", 2), (0x17, b"Mode", b"self", b"::temp2"),
                          (0x18, b"Run", b"::NoneVar", b"a"), (0x1E, b"::temp3", 4),
                          (0x22, b"::temp3", b"::temp0", None, -1), (0x1C, b"P", b"self", b"::temp0"),
                          (0x1A, True)],
                         params=[(b"a", b"Int")], local=[(b"::temp0", b"Int"), (b"::temp3", b"Int[]")],
                         ret=b"Bool", flags=0)
        get = p.function([(0x1A, b"iValue")], ret=b"Int", flags=0)
        put = p.function([(0x0D, b"iValue", b"aiValue")], params=[(b"aiValue", b"Int")], flags=0)
        native = p.function([], ret=b"Int", flags=3)
        data = p.s(b"Quest") + p.s(b"") + struct.pack(">I", 2) + p.s(b"")
        data += struct.pack(">H", 2) + p.s(b"iValue") + p.s(b"Int") + struct.pack(">I", 0) + p.value(7)
        data += p.s(b"::Auto_var") + p.s(b"String") + struct.pack(">I", 0) + p.value(b'"x"')
        data += struct.pack(">H", 2)
        data += p.s(b"Auto") + p.s(b"String") + p.s(b"") + struct.pack(">IB", 0, 7) + p.s(b"::Auto_var")
        data += p.s(b"P") + p.s(b"Int") + p.s(b"") + struct.pack(">IB", 0, 3) + get + put
        data += struct.pack(">H", 2)
        data += p.s(b"") + struct.pack(">H", 2) + p.s(b"Run") + run + p.s(b"Count") + native
        data += p.s(b"Busy") + struct.pack(">H", 1) + p.s(b"Run") + run
        lines = [(b"Made", b"", b"Run", 0, list(range(10, 20))), (b"Made", b"", b"P", 1, [3]),
                 (b"Made", b"", b"P", 2, [4]), (b"Made", b"Busy", b"Run", 0, [])]
        return p.file([(b"Made", data)], lines, game_sizes)

    def every_opcode():
        p = Pex()
        code = [(op, b"::temp0", b"a", b"b") for op in range(0x01, 0x0A)]
        code += [(op, b"::temp0", b"a") for op in range(0x0A, 0x0F)]
        code += [(op, b"::temp0", b"a", b"b") for op in range(0x0F, 0x14)]
        code += [(0x00,), (0x14, 1), (0x15, True, 1), (0x1B, b"::temp0", b'"a"', b'"b"'),
                 (0x1D, b"P", b"self", 3), (0x1F, b"::temp0", b"arr"),
                 (0x20, b"::temp0", b"arr", 0), (0x21, b"arr", 0, 1),
                 (0x23, b"arr", b"::temp0", 1, -1), (0x1A, None)]
        data = p.s(b"") + p.s(b"") + struct.pack(">I", 0) + p.s(b"") + struct.pack(">HHH", 0, 0, 1)
        data += p.s(b"") + struct.pack(">H", 1) + p.s(b"All") + p.function(code)
        return p.file([(b"Ops", data)], [])

    return {
        "quest-game-sizes": quest(True),
        "quest-other-sizes": quest(False),
        "every-opcode": every_opcode(),
    }


# --- Form references and text functions --------------------------------------

def form_reference_seeds():
    texts = ["Master_12e46", "My_Mod_1A2B", "Mod__12", "1A2B", "Master_0x12e46",
             "Master_12G4", "Master_FF000801", "Master.esm_-80000000", " +0X7fffffff", "0",
             "Dawn_ 00000000012e46"]
    return {f"ref-{i}": t.encode() for i, t in enumerate(texts)}


def text_seeds():
    cases = [b"aaaa\0aa\0b", b"aaa\0a\0aa", b"abc\0\0x", b"{0}-{1}\0{1}\0x",
             b"{0}-{1}\0x\0{0}", b"{6} { 0} {5}{4}{3}{2}{1}{0}\0a\0b\0c\0d\0e\0f",
             b"A\xc0BC-\xdc\xc3\x9c" + b" x" * 30 + b"\0x\0yy"]
    return {f"text-{i}": c for i, c in enumerate(cases)}


# --- Version texts of the executable -------------------------------------------

def version_text_seeds():
    pairs = [(b"1.5.97.0", b"1.5.97.0"), (b"1.0.0.0", b"1.6.353.0"), (b"", b"1.5.97.0"),
             (b"1.5.97", b"1.5.97.0"), (b" +1. -2.\t3.4 beta", b""),
             (b"2147483648.1.1.1", b"-2147483648.0.0.0"), (b"4294967295.0.0.0", b"1.0.0.1")]
    return {f"versions-{i}": p + b"\0" + f for i, (p, f) in enumerate(pairs)}


# --- INI files ----------------------------------------------------------------

INI = (b"\xef\xbb\xbf; settings\r\n"
       b"top = before any section\r\n"
       b"[Settings]\r\n"
       b" Difficulty = 2 \r\n"
       b"Name=\"quoted value\"\r\n"
       b"Hex=0x1F\r\n"
       b"\r\n"
       b"[settings]\r\n"
       b"Difficulty=9\r\n"
       b"[Empty]\r\n")


def profile_seeds():
    def fields(section, key, value, content):
        return section + b"\0" + key + b"\0" + value + b"\0" + content
    return {
        "replace": fields(b"Settings", b"difficulty", b"3", INI),
        "new-key": fields(b"Empty", b"k", b"v", INI),
        "new-section": fields(b"Other", b"k", b"-0x10", INI.replace(b"\r\n", b"\n")),
        "no-section": fields(b"", b"top", b"0b101", INI),
        "empty-file": fields(b"A]B", b"k[", b"value = with ; anything [x]", b""),
        "cr-only": fields(b"Settings", b"New", b"1", INI.replace(b"\r\n", b"\r")[:-1]),
    }


def profile_encoding_seeds():
    return {
        "le": utf16("[A]\r\na=1\r\n"),
        "be": b"\xfe\xff" + "[A]\r\na=\U0001F600\r\n".encode("utf-16-be"),
        "lone-surrogate": b"\xff\xfe\x00\xd8A\x00\x00\xdc",
        "odd-byte": utf16("k=v") + b"\x01",
        "narrow": b"[A]\r\na=caf\xe9 \xc3\xa9\r\n",
    }


# --- Papyrus script sources -----------------------------------------------------

def papyrus_seeds():
    return {
        "declarations": b"\xef\xbb\xbfScriptname FWTextContents Hidden\n; natives\n\n"
                        b"Function IOReadTranslation(String asLanguage) global native\n"
                        b"{Loads the translation file.}\n"
                        b"String Function getLangText(String asKey) global native\n"
                        b"Int Function getLangSize() global native\n",
        "comments": b"{ block\r\n comment }\r\n;/ Int Function x() /;\r\n"
                    b"Int[] Function f(String a = \";{\\\"\", Float[] b = 1.5) \\ ; more\r\n"
                    b"  GLOBAL Native\r\n",
        "body": b"Scriptname A extends Quest\nInt Function g(Int a)\n  Return a\nEndFunction\n"
                b"Event OnInit()\n  g(1)\nEndEvent\rFunction h(Bool b, \\\n Form f)\n",
    }


# --- Plugin files -----------------------------------------------------------

def subrecord(sig, data, long=False):
    """long: the size in an XXXX subrecord before, as the editor writes it from 64 KiB."""
    if long or len(data) > 0xFFFF:
        return b"XXXX" + u16(4) + u32(len(data)) + sig + u16(0) + data
    return sig + u16(len(data)) + data


def record(sig, form_id, data=b"", flags=0):
    return sig + u32(len(data)) + u32(flags) + u32(form_id) + u32(0) + u16(44) + u16(0) + data


def group(label, contents, kind=0):
    return b"GRUP" + u32(24 + len(contents)) + label + u32(kind) + u32(0) + u32(0) + contents


def plugin_header(flags, version, masters=(), more=b""):
    data = subrecord(b"HEDR", struct.pack("<fII", version, 3, 0x800))
    data += subrecord(b"CNAM", b"fuzz\0")
    for m in masters:
        data += subrecord(b"MAST", m + b"\0") + subrecord(b"DATA", bytes(8))
    return record(b"TES4", 0, data + more, flags)


def plugin_seeds():
    cell = group(b"CELL", group(b"\x09\0\0\0", group(b"\x02\0\0\0",
                 record(b"CELL", 0x01000D00) + group(b"\0\x0d\0\x01",
                 record(b"REFR", 0x01000D01, b"DATA"), 9), 3), 2))
    return {
        "master": plugin_header(1, 0.94, more=subrecord(b"ONAM", bytes(2000))) +
        group(b"QUST", record(b"QUST", 0xD62, b"EDID\x04\0Qst\0")),
        "dependent": plugin_header(0, 0.94, [b"Skyrim.esm", b"Update.esm"]) + cell +
        group(b"NPC_", record(b"NPC_", 0x12E46, b"\x10\0\0\0x\x9c", 0x40000)),
        "light": plugin_header(0x201, 1.71, [b"Skyrim.esm"]) +
        group(b"QUST", record(b"QUST", 0x01000010) + record(b"QUST", 0x00000D62)),
        "long-override-list": plugin_header(1, 1.70, more=subrecord(b"ONAM", bytes(3000), long=True)),
    }


SEEDS = {
    "database_reader_fuzz": database_seeds,
    "translation_text_fuzz": translation_seeds,
    "key_file_fuzz": key_file_seeds,
    "script_header_fuzz": script_seeds,
    "form_reference_fuzz": form_reference_seeds,
    "text_fuzz": text_seeds,
    "profile_text_fuzz": profile_seeds,
    "profile_encoding_fuzz": profile_encoding_seeds,
    "version_text_fuzz": version_text_seeds,
    "papyrus_source_fuzz": papyrus_seeds,
    "plugin_file_fuzz": plugin_seeds,
    "pex_reader_fuzz": pex_seeds,
}


def main():
    for target, make in SEEDS.items():
        folder = os.path.join(HERE, "corpus", target)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        for name, data in make().items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
        print(f"{target}: {len(make())} seeds")


if __name__ == "__main__":
    main()
