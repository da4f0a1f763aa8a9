#!/usr/bin/env python3
"""The release checks must reject what they are there to catch: each table
row spoils one thing in a good program file, report or read-me."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import check_release as cr  # noqa: E402

GOOD_OBJDUMP = """
ipflip.exe:     file format pei-i386

Subsystem\t\t00000002\t(Windows GUI)
DllCharacteristics\t00000140
\t\t\t\t\tDYNAMIC_BASE
\t\t\t\t\tNX_COMPAT
Entry 5 0000a000 0000024c Base Relocation Directory [.reloc]
\tDLL Name: KERNEL32.dll
\tDLL Name: msvcrt.dll
\tDLL Name: USER32.dll
"""

GOOD_MANIFEST = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">
  <assemblyIdentity type="win32" name="ipflip" version="2.3.4.0" processorArchitecture="x86"/>
  <dependency>
    <dependentAssembly>
      <assemblyIdentity type="win32" name="Microsoft.Windows.Common-Controls" version="6.0.0.0"
                        processorArchitecture="*" publicKeyToken="6595b64144ccf1df" language="*"/>
    </dependentAssembly>
  </dependency>
</assembly>"""

ELEVATION = """<trustInfo xmlns="urn:schemas-microsoft-com:asm.v3"><security><requestedPrivileges>
<requestedExecutionLevel level="asInvoker" uiAccess="false"/></requestedPrivileges></security>
</trustInfo></assembly>"""

DPI_AWARE = """<application xmlns="urn:schemas-microsoft-com:asm.v3"><windowsSettings>
<dpiAware xmlns="http://schemas.microsoft.com/SMI/2005/WindowsSettings">true</dpiAware>
</windowsSettings></application></assembly>"""

OTHER_DEPENDENCY = """<dependency><dependentAssembly><assemblyIdentity type="win32"
name="Microsoft.VC90.CRT" version="9.0.21022.8" processorArchitecture="x86"
publicKeyToken="1fc8b3b9a1e18e3b"/></dependentAssembly></dependency></assembly>"""


def good_report(manifest=GOOD_MANIFEST):
    return "\n".join(
        [
            "file-version 2.3.4.0",
            "product-version 2.3.4.0",
            "translation 080404b0",
            "string ProductName=ipflip",
            "string FileDescription=网络适配器 IPv4 设置切换工具",
            "string FileVersion=2.3.4",
            "string ProductVersion=2.3.4",
            "string OriginalFilename=ipflip.exe",
            "icon 16x16 32bpp loadable",
            "icon 32x32 32bpp loadable",
            "icon 48x48 32bpp loadable",
            "manifest 1",
            manifest,
            "manifest-end",
        ]
    )


def good_readme():
    lines = ["ipflip 2.3.4", ""] + cr.README_PHRASES
    return b"\xef\xbb\xbf" + "\r\n".join(lines).encode("utf-8") + b"\r\n"


class ProgramFile(unittest.TestCase):
    def test_good_headers_pass(self):
        self.assertEqual(cr.pe_problems(GOOD_OBJDUMP, "x86"), [])

    def test_faults_are_found(self):
        rows = [
            ("MinGW runtime DLLs", GOOD_OBJDUMP + "\tDLL Name: libstdc++-6.dll\n"
             "\tDLL Name: libgcc_s_dw2-1.dll\n\tDLL Name: libwinpthread-1.dll\n", "x86", 3),
            ("newer C runtime", GOOD_OBJDUMP + "\tDLL Name: api-ms-win-crt-runtime-l1-1-0.dll\n",
             "x86", 1),
            ("no ASLR, no DEP", GOOD_OBJDUMP.replace("00000140", "00000000"), "x86", 2),
            ("no DEP", GOOD_OBJDUMP.replace("00000140", "00000040"), "x86", 1),
            ("relocations stripped", GOOD_OBJDUMP.replace("0000a000 0000024c", "00000000 00000000"),
             "x86", 1),
            ("console program", GOOD_OBJDUMP.replace("00000002\t(Windows GUI)", "00000003\t(CUI)"),
             "x86", 1),
            ("32-bit file checked as 64-bit", GOOD_OBJDUMP, "amd64", 1),
        ]
        for name, text, arch, count in rows:
            with self.subTest(name):
                self.assertEqual(len(cr.pe_problems(text, arch)), count, cr.pe_problems(text, arch))


class Manifest(unittest.TestCase):
    def test_good_manifest_passes(self):
        self.assertEqual(cr.manifest_problems(GOOD_MANIFEST, "x86", "2.3.4"), [])

    def test_faults_are_found(self):
        rows = [
            ("asks for elevation", GOOD_MANIFEST.replace("</assembly>", ELEVATION), "trustInfo"),
            ("declares DPI awareness", GOOD_MANIFEST.replace("</assembly>", DPI_AWARE), "dpiAware"),
            ("depends on another assembly",
             GOOD_MANIFEST.replace("</assembly>", OTHER_DEPENDENCY), "other dependencies"),
            ("old common controls", GOOD_MANIFEST.replace('"6.0.0.0"', '"5.82.0.0"'),
             "common controls"),
            ("no common controls", GOOD_MANIFEST.replace("Common-Controls", "Common-Dialogs"),
             "common controls"),
            ("wrong architecture", GOOD_MANIFEST.replace('"x86"', '"amd64"'),
             "processorArchitecture"),
            ("stale version", GOOD_MANIFEST.replace("2.3.4.0", "2.3.3.0"), "version"),
            ("no namespace", GOOD_MANIFEST.replace(' xmlns="urn:schemas-microsoft-com:asm.v1"', ""),
             "root"),
            ("not XML", GOOD_MANIFEST.replace("</assembly>", "</assembl>"), "well-formed"),
        ]
        for name, manifest, expected in rows:
            with self.subTest(name):
                problems = cr.manifest_problems(manifest, "x86", "2.3.4")
                self.assertTrue(any(expected in p for p in problems), problems)


class Resources(unittest.TestCase):
    def test_good_report_passes(self):
        self.assertEqual(cr.resource_problems(good_report(), "x86", "2.3.4"), [])

    def test_faults_are_found(self):
        rows = [
            ("version from elsewhere", good_report().replace("2.3.4.0", "1.0.0.0"),
             "file-version"),
            ("string version differs", good_report().replace("FileVersion=2.3.4", "FileVersion=2.3"),
             "FileVersion"),
            ("no version information", "\n".join(
                line for line in good_report().splitlines()
                if not line.startswith(("file-", "product-", "string"))), "ProductName"),
            ("icon size missing", good_report().replace("icon 48x48 32bpp loadable\n", ""),
             "DEFAULT_ICON"),
            ("no icon group", good_report().replace("icon ", "x "), "DEFAULT_ICON"),
            ("icon image unusable", good_report().replace("32x32 32bpp loadable",
                                                          "32x32 32bpp broken"), "broken"),
            ("second manifest", good_report() + "\nmanifest 2\n" + GOOD_MANIFEST + "\nmanifest-end",
             "one manifest"),
            ("no manifest", good_report().split("manifest 1")[0], "one manifest"),
            ("manifest fault", good_report(GOOD_MANIFEST.replace("</assembly>", ELEVATION)),
             "trustInfo"),
        ]
        for name, report, expected in rows:
            with self.subTest(name):
                problems = cr.resource_problems(report, "x86", "2.3.4")
                self.assertTrue(any(expected in p for p in problems), problems)


class Readme(unittest.TestCase):
    def test_good_readme_passes(self):
        self.assertEqual(cr.readme_problems(good_readme(), "2.3.4"), [])

    def test_faults_are_found(self):
        rows = [
            ("no byte-order mark", good_readme()[3:], "byte-order mark"),
            ("Unix line ends", good_readme().replace(b"\r\n", b"\n"), "CR LF"),
            ("one bare line end", good_readme().replace(b"\r\n", b"\n", 1), "CR LF"),
            ("stale version", good_readme().replace(b"2.3.4", b"2.3.3"), "version"),
            ("a button left out", good_readme().replace("重置DNS缓存".encode(), b""), "重置DNS缓存"),
            ("GBK instead of UTF-8", b"\xef\xbb\xbf" + "ipflip 2.3.4 管理员".encode("gbk"),
             "not UTF-8"),
        ]
        for name, data, expected in rows:
            with self.subTest(name):
                problems = cr.readme_problems(data, "2.3.4")
                self.assertTrue(any(expected in p for p in problems), problems)


if __name__ == "__main__":
    unittest.main()
