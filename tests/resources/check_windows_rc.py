#!/usr/bin/env python3
"""Compiles the configured vistrum.rc with MinGW's windres, or reads the
resources out of the built vistrum.exe with it, and checks them: the version
record Explorer shows, the icon and the manifest.

Usage: check_windows_rc.py --windres PROGRAM --input vistrum.rc|vistrum.exe
                           --ico FILE --version X.Y.Z.W --name NAME
                           --description TEXT
"""

import argparse
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

RT_ICON = 3
RT_VERSION = 16
RT_GROUP_ICON = 14
RT_MANIFEST = 24

ARGS = None


def read_res(data):
    """The entries of a .res file as {(type, name): (language, bytes)}."""
    def ident(pos):
        if struct.unpack_from("<H", data, pos)[0] == 0xFFFF:
            return struct.unpack_from("<H", data, pos + 2)[0], pos + 4
        end = pos
        while struct.unpack_from("<H", data, end)[0] != 0:
            end += 2
        return data[pos:end].decode("utf-16-le"), end + 2

    entries = {}
    pos = 0
    while pos < len(data):
        data_size, header_size = struct.unpack_from("<II", data, pos)
        kind, after = ident(pos + 8)
        name, after = ident(after)
        after = (after + 3) & ~3
        language = struct.unpack_from("<H", data, after + 6)[0]
        body = data[pos + header_size:pos + header_size + data_size]
        if data_size:  # the first entry of every .res is an empty marker
            entries[(kind, name)] = (language, body)
        pos = (pos + header_size + data_size + 3) & ~3
    return entries


def read_version_node(data, pos=0):
    """One node of a VS_VERSIONINFO tree: (key, value, children)."""
    length, value_length, value_type = struct.unpack_from("<HHH", data, pos)
    end = pos + length
    key_end = pos + 6
    while struct.unpack_from("<H", data, key_end)[0] != 0:
        key_end += 2
    key = data[pos + 6:key_end].decode("utf-16-le")
    cursor = (key_end + 2 + 3) & ~3
    if value_type == 1:  # text, its length counted in characters
        raw = data[cursor:cursor + value_length * 2]
        value = raw.decode("utf-16-le").split("\0", 1)[0]
        cursor += value_length * 2
    else:
        value = data[cursor:cursor + value_length]
        cursor += value_length
    children = []
    cursor = (cursor + 3) & ~3
    while cursor < end:
        child = read_version_node(data, cursor)
        children.append(child[:3])
        cursor = (cursor + child[3] + 3) & ~3
    return key, value, children, length


def windres(*args):
    program = shutil.which(ARGS.windres)
    if program is None:
        raise AssertionError(f"{ARGS.windres} not found: install binutils-mingw-w64-x86-64")
    command = [program]
    # Without MinGW's gcc windres cannot preprocess; the .rc includes no
    # headers, so the host's C preprocessor does the same job.
    if shutil.which("x86_64-w64-mingw32-gcc") is None:
        command.append("--preprocessor=cpp")
    result = subprocess.run(command + list(args), capture_output=True, text=True)
    if result.returncode != 0:
        raise AssertionError(f"windres failed:\n{result.stdout}{result.stderr}")


class CompiledResources(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory()
        res = os.path.join(cls.tmp.name, "vistrum.res")
        windres("-O", "res", "-i", ARGS.input, "-o", res)
        with open(res, "rb") as f:
            cls.entries = read_res(f.read())
        numbers = [int(n) for n in ARGS.version.split(".")]
        cls.numbers = (numbers + [0, 0, 0, 0])[:4]
        cls.display = f"{cls.numbers[0]}.{cls.numbers[1]:02d}"

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def version_tree(self):
        self.assertIn((RT_VERSION, 1), self.entries, "no VERSIONINFO with id 1")
        key, fixed, children = read_version_node(self.entries[(RT_VERSION, 1)][1])[:3]
        self.assertEqual(key, "VS_VERSION_INFO")
        return fixed, {child[0]: child for child in children}

    def test_fixed_file_info_holds_the_four_numbers(self):
        fixed, _ = self.version_tree()
        self.assertEqual(len(fixed), 52)
        fields = struct.unpack("<13I", fixed)
        self.assertEqual(fields[0], 0xFEEF04BD, "VS_FIXEDFILEINFO signature")
        major, minor, patch, tweak = self.numbers
        ms, ls = (major << 16) | minor, (patch << 16) | tweak
        self.assertEqual((fields[2], fields[3]), (ms, ls), "FILEVERSION")
        self.assertEqual((fields[4], fields[5]), (ms, ls), "PRODUCTVERSION")
        self.assertEqual(fields[9], 1, "FILETYPE is not VFT_APP")

    def test_string_table_is_us_english_unicode_with_the_product_strings(self):
        _, blocks = self.version_tree()
        self.assertIn("StringFileInfo", blocks)
        tables = {t[0]: t for t in blocks["StringFileInfo"][2]}
        self.assertEqual(list(tables), ["040904B0"])
        strings = {s[0]: s[1] for s in tables["040904B0"][2]}
        self.assertEqual(strings.get("FileDescription"), ARGS.description)
        self.assertEqual(strings.get("ProductName"), ARGS.name)
        self.assertEqual(strings.get("FileVersion"), self.display)
        self.assertEqual(strings.get("ProductVersion"), self.display)
        self.assertEqual(strings.get("InternalName"), "vistrum")
        self.assertEqual(strings.get("OriginalFilename"), "vistrum.exe")
        for key in ("CompanyName", "LegalCopyright"):
            self.assertTrue(strings.get(key), f"{key} is missing or empty")

    def test_translation_is_english_unicode(self):
        _, blocks = self.version_tree()
        self.assertIn("VarFileInfo", blocks)
        variables = {v[0]: v[1] for v in blocks["VarFileInfo"][2]}
        self.assertEqual(variables.get("Translation"), bytes([0x09, 0x04, 0xB0, 0x04]))

    def test_icon_1_holds_every_image_of_the_ico(self):
        self.assertIn((RT_GROUP_ICON, 1), self.entries, "no ICON with id 1")
        group = self.entries[(RT_GROUP_ICON, 1)][1]
        reserved, kind, count = struct.unpack_from("<HHH", group, 0)
        self.assertEqual((reserved, kind, count), (0, 1, 4))
        with open(ARGS.ico, "rb") as f:
            ico = f.read()
        for i in range(count):
            width, height, colours, _, _, bits, size, icon_id = struct.unpack_from(
                "<BBBBHHIH", group, 6 + 14 * i)
            ico_width, ico_height, ico_colours, _, _, ico_bits, _, offset = struct.unpack_from(
                "<BBBBHHII", ico, 6 + 16 * i)
            self.assertEqual((width, height, colours, bits),
                             (ico_width, ico_height, ico_colours, ico_bits))
            self.assertIn((RT_ICON, icon_id), self.entries)
            self.assertEqual(self.entries[(RT_ICON, icon_id)][1], ico[offset:offset + size])
        # 256 is written as 0.
        sizes = sorted(group[6 + 14 * i] for i in range(count))
        self.assertEqual(sizes, [0, 16, 32, 48])

    def test_manifest_declares_per_monitor_dpi_awareness(self):
        self.assertIn((RT_MANIFEST, 1), self.entries, "no manifest with id 1")
        manifest = self.entries[(RT_MANIFEST, 1)][1].decode("utf-8")
        self.assertRegex(manifest, r"<dpiAwareness[^>]*>\s*PerMonitorV2\b")
        self.assertRegex(manifest, r"<dpiAware[^>]*>\s*true/pm\s*<")

    def test_compiles_to_an_x64_object_for_the_executable(self):
        obj = os.path.join(self.tmp.name, "vistrum_rc.o")
        windres("-O", "coff", "-i", ARGS.input, "-o", obj)
        with open(obj, "rb") as f:
            machine = struct.unpack("<H", f.read(2))[0]
        self.assertEqual(machine, 0x8664, "not an AMD64 COFF object")


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    for option in ("--windres", "--input", "--ico", "--version", "--name", "--description"):
        parser.add_argument(option, required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
