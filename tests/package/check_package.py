#!/usr/bin/env python3
"""Checks the release archive: its layout, the player's readme and the licence, the DLL's exports, imports and DWARF-free
sections, and that the PDB beside the DLL maps addresses of our functions to their
names and source files. Checks the mod authors' archive beside it too (the script
declarations, see check_scripts_archive).

  check_package.py ZIP BUILT_DLL VERSION SOURCE_DIR READOBJ SYMBOLIZER PDBUTIL
"""
import os
import re
import subprocess
import sys
import tempfile
import zipfile

PLUGINS = "SKSE/Plugins/"
# Windows' own DLLs: the plugin carries its C++ runtime inside.
IMPORTS = {"kernel32.dll", "msvcrt.dll", "ole32.dll", "shell32.dll", "version.dll"}

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
    return condition


def run(*command, cwd=None):
    return subprocess.run(command, cwd=cwd, check=True, capture_output=True, text=True).stdout


def main():
    zip_path, built_dll, version, source_dir, readobj, symbolizer, pdbutil = sys.argv[1:8]
    suffix = sys.argv[8] if len(sys.argv) > 8 else ""  # "-dev" after the last release
    check(os.path.basename(zip_path) == f"Cradlewright-{version}{suffix}.zip",
          f"archive name {os.path.basename(zip_path)}")
    check_scripts_archive(zip_path[:-len(".zip")] + "-scripts.zip", version, source_dir,
                          built_dll, readobj)

    with zipfile.ZipFile(zip_path) as archive:
        files = sorted(n for n in archive.namelist() if not n.endswith("/"))
        folders = {n for n in archive.namelist() if n.endswith("/")}
        check(folders <= {"SKSE/", PLUGINS}, f"archive folders {sorted(folders)}")
        expected = [PLUGINS + name for name in ("Cradlewright-LICENSE.txt", "Cradlewright-README.txt",
                                                "Cradlewright.dll", "Cradlewright.pdb")]
        if not check(files == expected, f"archive files {files}"):
            return report()
        check_texts(archive, version, source_dir)
        with tempfile.TemporaryDirectory() as data:
            archive.extractall(data)
            check_plugin(os.path.join(data, "SKSE", "Plugins"), built_dll, source_dir, readobj,
                         symbolizer, pdbutil)

    return report()


def check_texts(archive, version, source_dir):
    """The player's readme and the licence: plain text with Windows line ends, the readme
    naming this version, the requirements, the log and its two most common refusals."""
    readme = archive.read(PLUGINS + "Cradlewright-README.txt")
    licence = archive.read(PLUGINS + "Cradlewright-LICENSE.txt")
    for name, data in (("readme", readme), ("licence", licence)):
        check(data.count(b"\n") > 5 and data.count(b"\n") == data.count(b"\r\n"),
              f"the {name} has no Windows line ends")
        check(all(b < 0x80 for b in data), f"the {name} is not plain ASCII")
    text = readme.decode("ascii", "replace").replace("\r\n", "\n")
    for part in (f"Cradlewright {version}", "SKSE64", "Address Library for SKSE Plugins",
                 "Skyrim VR is not supported", "SKSE\\Cradlewright.log",
                 "version-1-5-97-0.bin", "is missing", "lacks addresses", "save games"):
        check(part in text, f"the readme does not mention {part!r}")
    with open(os.path.join(source_dir, "LICENSE"), "rb") as source:
        check(licence.replace(b"\r\n", b"\n") == source.read(), "the licence is not LICENSE")
    check(b"MIT License" in licence and b"the Cradlewright authors" in licence,
          "the licence is not the MIT licence of the Cradlewright authors")


def report():
    for failure in failures:
        print("package:", failure)
    print("package:", "ok" if not failures else f"{len(failures)} failure(s)")
    return 1 if failures else 0


def check_plugin(folder, built_dll, source_dir, readobj, symbolizer, pdbutil):
    dll = os.path.join(folder, "Cradlewright.dll")
    pdb = os.path.join(folder, "Cradlewright.pdb")
    with open(dll, "rb") as a, open(built_dll, "rb") as b:
        check(a.read() == b.read(), "the archive's DLL is not the one the tests load")

    section_text = run(readobj, "--sections", dll)
    sections = re.findall(r"^\s*Name: (\S+)", section_text, re.M)
    check(".text" in sections, f"sections {sections}")
    code = re.search(r"Name: \.text .*?VirtualSize: (0x[0-9A-F]+)\s*VirtualAddress: (0x[0-9A-F]+)",
                     section_text, re.S | re.I)
    code_start, code_size = int(code.group(2), 16), int(code.group(1), 16)
    check(not [s for s in sections if s.startswith(".debug")], f"DWARF sections {sections}")

    exports = {}
    for block in re.findall(r"Export \{(.*?)\}", run(readobj, "--coff-exports", dll), re.S):
        name = re.search(r"Name: (\S*)", block)
        rva = re.search(r"RVA: (0x[0-9A-Fa-f]+)", block)
        if name and name.group(1):
            exports[name.group(1)] = int(rva.group(1), 16)
    expected = declared_exports(source_dir)
    check(expected and set(exports) == expected,
          f"exports {sorted(exports)}, declared {sorted(expected)}")
    imports = {n.lower() for n in
               re.findall(r"^\s*Name: (\S+\.dll)", run(readobj, "--coff-imports", dll), re.M | re.I)}
    check(imports == IMPORTS, f"imported DLLs {sorted(imports)}")

    # The DLL names its PDB by file name only, and the PDB is the one written with it.
    debug = run(readobj, "--coff-debug-directory", dll)
    check(re.search(r"PDBFileName: Cradlewright\.pdb\s*$", debug, re.M), "PDB file name")
    guid = re.search(r"PDBGUID: \(([0-9A-F ]+)\)", debug)
    age = re.search(r"PDBAge: (\d+)", debug)
    summary = run(pdbutil, "dump", "-summary", pdb)
    pdb_guid = re.search(r"GUID: \{([0-9A-F-]+)\}", summary)
    pdb_age = re.search(r"Age: (\d+)", summary)
    if check(guid and age and pdb_guid and pdb_age, "PDB signature missing"):
        check(guid_text(guid.group(1)) == pdb_guid.group(1) and age.group(1) == pdb_age.group(1),
              f"DLL and PDB signatures differ: {guid.group(1)} / {pdb_guid.group(1)}")

    # An address inside each exported function maps to its name and to a line of our
    # source through the PDB beside the DLL (the DLL has no DWARF left to read) ...
    functions = {n: rva for n, rva in exports.items() if code_start <= rva < code_start + code_size}
    check(functions, "no exported function")
    addresses = [f"0x{rva + 4:x}" for rva in functions.values()]
    lines = symbolize(symbolizer, dll, addresses, folder)
    for name, (function, place) in zip(functions, lines):
        check(function == name, f"{name} maps to {function}")
        # A compiler cache may name sources by a path with ".." in it.
        place = os.path.normpath(place) if not place.startswith("??") else place
        check(place.startswith(os.path.join(source_dir, "plugin", "")) and ".cpp:" in place,
              f"{name} maps to the source place {place}")
    # ... and without the PDB, nothing knows the source.
    os.remove(pdb)
    for function, place in symbolize(symbolizer, dll, addresses, folder):
        check(place.startswith("??"), f"without the PDB an address still maps to {place}")


def declared_exports(source_dir):
    """The names that the entry point sources mark CW_EXPORT: exactly these leave the DLL."""
    names = set()
    folder = os.path.join(source_dir, "plugin", "entry")
    for file in sorted(os.listdir(folder)):
        with open(os.path.join(folder, file), encoding="utf-8") as source:
            for line in source:
                found = re.match(r"\s*CW_EXPORT\b[^;{=(]*?\b(\w+)\s*[({=]", line)
                if found:
                    names.add(found.group(1))
    return names


SCRIPTS = "Source/Scripts/"
SCRIPT_CLASSES = ["FWUtility", "FWChildEnchant", "FWTextContents"]
# The host programs of each game version the simulator plays, and the plugin they load.
HOST_PROGRAMS = ["cradlewright-host.exe", "cradlewright-host-1.6.1170.0.exe",
                 "cradlewright-host-1.4.15.0.exe"]


def check_scripts_archive(zip_path, version, source_dir, built_dll, readobj):
    """The mod authors' archive: the three declaration files under Source/Scripts/ and
    the text on using them; every native declared once, global native, followed by its
    documentation comment, and the same declarations as the reference page. The host
    programs and the plugin beside them, without debug sections, run from the unpacked
    archive; the text on writing tests describes the test command's convention."""
    if not check(os.path.exists(zip_path), f"no scripts archive {os.path.basename(zip_path)}"):
        return
    with zipfile.ZipFile(zip_path) as archive:
        files = sorted(n for n in archive.namelist() if not n.endswith("/"))
        expected = sorted([SCRIPTS + c + ".psc" for c in SCRIPT_CLASSES] + HOST_PROGRAMS +
                          ["Cradlewright-scripts.txt", "Cradlewright-testing.txt",
                           "Cradlewright.dll"])
        if not check(files == expected, f"scripts archive files {files}"):
            return
        text = archive.read("Cradlewright-scripts.txt").decode("utf-8")
        check(f"Cradlewright {version}" in text and "check-scripts" in text,
              "the scripts archive's text names no version or check-scripts")
        testing = archive.read("Cradlewright-testing.txt").decode("utf-8")
        for part in (f"Cradlewright {version}", "cradlewright-host.exe test", "global",
                     "Bool", "True", "passed", "failed", "--game-dir"):
            check(part in testing, f"the text on testing does not mention {part!r}")
        with tempfile.TemporaryDirectory() as unpacked:
            archive.extractall(unpacked)
            check_host_programs(unpacked, built_dll, readobj)
        declared = []
        for name in SCRIPT_CLASSES:
            lines = archive.read(SCRIPTS + name + ".psc").decode("utf-8").split("\n")
            check(lines[0] == f"Scriptname {name} Hidden", f"{name}.psc starts {lines[0]!r}")
            for i, line in enumerate(lines):
                if re.match(r"(\w+ )?Function \w+\(", line):
                    check(line.endswith(") global native"), f"{name}.psc: {line}")
                    check(i + 1 < len(lines) and lines[i + 1].startswith("{"),
                          f"{name}.psc: no documentation comment after {line}")
                    declared.append(line)
    # Every native once; which natives they are, docs/natives.md says.
    check(declared and len(set(declared)) == len(declared),
          f"{len(declared)} declarations in the scripts archive, some twice")
    with open(os.path.join(source_dir, "docs", "natives.md"), encoding="utf-8") as page:
        documented = re.findall(r"^`(.*\) global native)`$", page.read(), re.M)
    check(sorted(documented) == sorted(declared),
          "the scripts archive's declarations differ from docs/natives.md")


def check_host_programs(folder, built_dll, readobj):
    """The plugin is the one the tests load; the host programs have no debug sections,
    and the first, run from the folder under wine, loads the plugin beside it."""
    with open(os.path.join(folder, "Cradlewright.dll"), "rb") as a, open(built_dll, "rb") as b:
        check(a.read() == b.read(), "the scripts archive's DLL is not the one the tests load")
    for program in HOST_PROGRAMS:
        sections = re.findall(r"^\s*Name: (\S+)", run(readobj, "--sections",
                                                       os.path.join(folder, program)), re.M)
        check(".text" in sections and not [s for s in sections if s.startswith(".debug")],
              f"{program} sections {sections}")
    build = os.path.dirname(os.path.dirname(os.path.abspath(built_dll)))
    wine = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "cmake",
                        "wine-run.sh")
    env = dict(os.environ, WINEPREFIX=os.path.join(build, "wineprefix"))
    natives = subprocess.run(["sh", wine, "./" + HOST_PROGRAMS[0], "natives"], cwd=folder, env=env,
                             capture_output=True, text=True)
    check(natives.returncode == 0 and natives.stdout.count("\n") == 50,
          f"the archive's host program lists no 50 natives: {natives.returncode} "
          f"{natives.stdout[:200]!r} {natives.stderr[:200]!r}")


def guid_text(bytes_text):
    """The GUID of a debug directory (bytes in file order) as llvm-pdbutil prints it."""
    b = bytes_text.split()
    order = [3, 2, 1, 0, None, 5, 4, None, 7, 6, None, 8, 9, None, 10, 11, 12, 13, 14, 15]
    return "".join("-" if i is None else b[i] for i in order)


def symbolize(symbolizer, dll, addresses, cwd):
    """(function, file:line) of the outermost frame of each relative address."""
    out = run(symbolizer, "--obj", dll, "--relative-address", "--no-inlines", "--demangle",
              *addresses, cwd=cwd)
    blocks = [b.splitlines() for b in out.strip().split("\n\n")]
    return [(b[0], b[1] if len(b) > 1 else "??") for b in blocks]


if __name__ == "__main__":
    sys.exit(main())
