#!/usr/bin/env python3
"""Writes the example game folder's UTF-16 text files of Cradlewright.

Translation files: Data/Interface/Translations/Cradlewright_<LANGUAGE>.txt, a
byte-order mark, then one "$Key<TAB>text" entry per line.
Child enchantment files: Data/Cradlewright/Enchantment/<Name>.txt, lines of
"key = value". Like files saved by a Windows editor they start with a byte-order
mark, so their first line is a comment: a key right after the mark is not found.

All files are UTF-16 little-endian with CR LF line ends. Run from anywhere:
    python3 examples/generators/make_example_texts.py
"""
from pathlib import Path

GAME = Path(__file__).resolve().parent.parent / "game"
BOM = "\ufeff"

TRANSLATIONS = {
    "ENGLISH": [
        ("Greeting", "Hello, little one."),
        ("Farewell", "Sleep well."),
        ("ChildName", "Name your child"),
        ("ChildAge", "Age: {0} days"),
    ],
    "GERMAN": [
        ("Greeting", "Hallo, Kleines."),
        ("Farewell", "Schlaf gut."),
        ("ChildName", "Gib deinem Kind einen Namen"),
        ("ChildAge", "Alter: {0} Tage \u2013 gr\u00f6\u00dfer geworden"),
    ],
}

ENCHANTMENTS = {
    "FireChild.txt": [
        "# Fire child enchantment",
        "modName = Cradlewright.esp",
        "form = #00A1F0",
        "power_min = 5",
        "power_max = 0x1E",
    ],
    "FrostChild.txt": [
        "# Frost child enchantment",
        "modName\t= Cradlewright.esp",
        "form\t= #00A1F1",
        "power_min\t= 3",
        "power_max\t= 0x19",
    ],
}


def write_utf16(path: Path, lines: list[str], bom: bool) -> None:
    path.parent.mkdir(parents=True, exist_ok=True)
    text = (BOM if bom else "") + "".join(line + "\r\n" for line in lines)
    path.write_bytes(text.encode("utf-16-le"))


def main() -> None:
    for language, entries in TRANSLATIONS.items():
        lines = [f"${key}\t{text}" for key, text in entries]
        write_utf16(GAME / "Data/Interface/Translations" / f"Cradlewright_{language}.txt", lines, True)
    for name, lines in ENCHANTMENTS.items():
        write_utf16(GAME / "Data/Cradlewright/Enchantment" / name, lines, True)


if __name__ == "__main__":
    main()
