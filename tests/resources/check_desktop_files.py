#!/usr/bin/env python3
"""Validates the desktop entry and the AppStream metainfo with the freedesktop
tools, and checks that both name the same program, id and version.

Usage: check_desktop_files.py --desktop FILE --metainfo FILE --app-id ID
                              --version X.Y.Z.W --name NAME --description TEXT
"""

import argparse
import configparser
import os
import shutil
import subprocess
import sys
import unittest
import xml.etree.ElementTree as ET

ARGS = None


def run_tool(*command):
    program = shutil.which(command[0])
    if program is None:
        raise AssertionError(f"{command[0]} not found: install desktop-file-utils and appstream")
    result = subprocess.run([program, *command[1:]], capture_output=True, text=True)
    return result.returncode, result.stdout + result.stderr


class DesktopEntry(unittest.TestCase):
    def test_validates_without_errors_or_warnings(self):
        code, output = run_tool("desktop-file-validate", ARGS.desktop)
        self.assertEqual(code, 0, output)
        problems = [line for line in output.splitlines() if "error:" in line or "warning:" in line]
        self.assertFalse(problems, output)

    def test_launches_the_program_under_the_app_id(self):
        self.assertEqual(os.path.basename(ARGS.desktop), ARGS.app_id + ".desktop")
        parser = configparser.ConfigParser(interpolation=None)
        parser.optionxform = str
        parser.read(ARGS.desktop, encoding="utf-8")
        entry = parser["Desktop Entry"]
        self.assertEqual(entry.get("Type"), "Application")
        self.assertEqual(entry.get("Name"), ARGS.name)
        self.assertEqual(entry.get("Comment"), ARGS.description)
        self.assertEqual(entry.get("Exec"), "vistrum")
        self.assertEqual(entry.get("Icon"), ARGS.app_id)
        self.assertEqual(entry.get("Terminal"), "false")


class Metainfo(unittest.TestCase):
    def test_validates_strictly_offline(self):
        # --strict fails on anything above a pedantic hint.
        code, output = run_tool("appstreamcli", "validate", "--no-net", "--strict", ARGS.metainfo)
        self.assertEqual(code, 0, output)

    def test_describes_this_program_and_its_current_release(self):
        self.assertEqual(os.path.basename(ARGS.metainfo), ARGS.app_id + ".metainfo.xml")
        root = ET.parse(ARGS.metainfo).getroot()
        self.assertEqual(root.get("type"), "desktop-application")
        self.assertEqual(root.findtext("id"), ARGS.app_id)
        self.assertEqual(root.findtext("name"), ARGS.name)
        self.assertEqual(root.findtext("launchable"), ARGS.app_id + ".desktop")
        self.assertEqual(root.findtext("provides/binary"), "vistrum")
        releases = root.findall("releases/release")
        self.assertTrue(releases, "no release listed")
        # The newest release comes first; it must be the version being built.
        self.assertEqual(releases[0].get("version"), ARGS.version)


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    for option in ("--desktop", "--metainfo", "--app-id", "--version", "--name", "--description"):
        parser.add_argument(option, required=True)
    ARGS, rest = parser.parse_known_args()
    unittest.main(argv=[sys.argv[0]] + rest, verbosity=2)


if __name__ == "__main__":
    main()
