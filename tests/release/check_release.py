#!/usr/bin/env python3
"""Checks a built ipflip.exe, or the release zip and the ipflip.exe inside it.

  check_release.py program EXE --arch x86|amd64 --version X.Y.Z TOOLS
  check_release.py package ZIP --arch x86|amd64 --version X.Y.Z TOOLS
  TOOLS: --objdump OBJDUMP --wine-run WINE_RUN --report-program RESOURCE_REPORT_EXE

A program file must import only Windows' own DLLs, be a GUI program with
ASLR (DYNAMIC_BASE, with relocations to make it real) and DEP (NX_COMPAT), and
carry the version information, the icon group "DEFAULT_ICON" and one manifest
that asks for the common controls 6.0.0.0 but neither elevation nor DPI
awareness. resource_report (run under Wine) reads the resources as Windows
does. Prints every problem found; exit status 1 when there is one.
"""

import argparse
import os
import re
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile

# DLLs that every Windows the program runs on has. MinGW's runtime DLLs
# (libstdc++, libgcc, libwinpthread) and the newer C runtime are not here.
WINDOWS_DLLS = {
    "advapi32.dll",
    "comctl32.dll",
    "comdlg32.dll",
    "gdi32.dll",
    "imm32.dll",
    "kernel32.dll",
    "msvcrt.dll",
    "ole32.dll",
    "oleaut32.dll",
    "shell32.dll",
    "shlwapi.dll",
    "user32.dll",
    "uxtheme.dll",
    "version.dll",
    "ws2_32.dll",
    "wsock32.dll",
}
PE_FORMATS = {"x86": "pei-i386", "amd64": "pei-x86-64"}
DYNAMIC_BASE = 0x0040
NX_COMPAT = 0x0100
GUI_SUBSYSTEM = 2

ASM_V1 = "urn:schemas-microsoft-com:asm.v1"
COMMON_CONTROLS = {
    "type": "win32",
    "name": "Microsoft.Windows.Common-Controls",
    "version": "6.0.0.0",
    "publicKeyToken": "6595b64144ccf1df",
}
# Elements that would ask for elevation or declare DPI awareness.
FORBIDDEN_MANIFEST_ELEMENTS = {
    "trustInfo",
    "requestedPrivileges",
    "requestedExecutionLevel",
    "dpiAware",
    "dpiAwareness",
}

# What the read-me must explain, in both languages.
README_PHRASES = [
    "自动获取IP",
    "IPconfig",
    "Ping",
    "计算机名",
    "修改DNS",
    "改DNS",
    "重置DNS缓存",
    "修改固定IP",
    "固定IP",
    "管理员",
    "administrator",
    "C.ini",
    "1.bat",
    "GG.bat",
    "卸载",
    "Uninstall",
]
PACKAGE_FILES = {"ipflip.exe", "README.txt"}


def version_quad(version):
    parts = version.split(".")
    return ".".join(parts + ["0"] * (4 - len(parts)))


def pe_problems(objdump_text, arch):
    """Problems in the headers and imports that `objdump -p` shows."""
    problems = []
    found = re.search(r"file format (\S+)", objdump_text)
    if not found or found.group(1) != PE_FORMATS[arch]:
        problems.append(
            f"file format {found.group(1) if found else '?'}, expected {PE_FORMATS[arch]}"
        )

    dlls = re.findall(r"DLL Name: (\S+)", objdump_text)
    if not dlls:
        problems.append("no imported DLLs found")
    for dll in dlls:
        if dll.lower() not in WINDOWS_DLLS:
            problems.append(f"imports {dll}, which is not one of Windows' own DLLs")

    subsystem = re.search(r"^Subsystem\s+([0-9a-fA-F]+)", objdump_text, re.M)
    if not subsystem or int(subsystem.group(1), 16) != GUI_SUBSYSTEM:
        problems.append("not a Windows GUI program (Subsystem 2)")

    flags = re.search(r"^DllCharacteristics\s+([0-9a-fA-F]+)", objdump_text, re.M)
    value = int(flags.group(1), 16) if flags else 0
    if not value & DYNAMIC_BASE:
        problems.append("DllCharacteristics lacks DYNAMIC_BASE")
    if not value & NX_COMPAT:
        problems.append("DllCharacteristics lacks NX_COMPAT")

    # Without relocations the loader cannot move the image: DYNAMIC_BASE alone
    # does nothing.
    relocations = re.search(r"^Entry 5 [0-9a-fA-F]+ ([0-9a-fA-F]+) Base Relocation", objdump_text, re.M)
    if not relocations or int(relocations.group(1), 16) == 0:
        problems.append("no base relocations")
    return problems


def local_name(tag):
    return tag.rsplit("}", 1)[-1]


def manifest_problems(text, arch, version):
    try:
        root = ET.fromstring(text)
    except ET.ParseError as error:
        return [f"manifest is not well-formed XML: {error}"]
    if root.tag != f"{{{ASM_V1}}}assembly":
        return [f"manifest root is {root.tag}, expected assembly in {ASM_V1}"]

    problems = []
    identity = root.find(f"{{{ASM_V1}}}assemblyIdentity")
    expected = {
        "type": "win32",
        "name": "ipflip",
        "version": version_quad(version),
        "processorArchitecture": arch,
    }
    if identity is None:
        problems.append("manifest has no assemblyIdentity of its own")
    else:
        for key, value in expected.items():
            if identity.get(key) != value:
                problems.append(f"manifest identity {key}={identity.get(key)!r}, expected {value!r}")

    path = f"{{{ASM_V1}}}dependency/{{{ASM_V1}}}dependentAssembly/{{{ASM_V1}}}assemblyIdentity"
    dependencies = root.findall(path)
    matching = [
        d
        for d in dependencies
        if all((d.get(k) or "").lower() == v.lower() for k, v in COMMON_CONTROLS.items())
    ]
    if not matching:
        problems.append("manifest lacks the dependency on the common controls 6.0.0.0")
    if len(dependencies) != len(matching):
        names = [d.get("name") for d in dependencies if d not in matching]
        problems.append(f"manifest has other dependencies: {names}")

    for element in root.iter():
        if local_name(element.tag) in FORBIDDEN_MANIFEST_ELEMENTS:
            problems.append(f"manifest holds {local_name(element.tag)}")
    return problems


def parse_report(text):
    """resource_report's output: (one-line fields, icon lines, manifests)."""
    fields, icons, manifests = {}, [], []
    lines = iter(text.splitlines())
    for line in lines:
        if line.startswith("manifest "):
            body = []
            for inner in lines:
                if inner == "manifest-end":
                    break
                body.append(inner)
            manifests.append((line.split(" ", 1)[1], "\n".join(body)))
        elif line.startswith("icon "):
            icons.append(line.split(" ", 1)[1])
        elif line.startswith("string "):
            key, _, value = line[len("string ") :].partition("=")
            fields[key] = value
        elif " " in line:
            key, value = line.split(" ", 1)
            fields[key] = value
    return fields, icons, manifests


def resource_problems(report_text, arch, version):
    fields, icons, manifests = parse_report(report_text)
    quad = version_quad(version)
    expected = {
        "file-version": quad,
        "product-version": quad,
        "ProductName": "ipflip",
        "FileVersion": version,
        "ProductVersion": version,
        "OriginalFilename": "ipflip.exe",
    }
    problems = [
        f"version information {key}={fields.get(key)!r}, expected {value!r}"
        for key, value in expected.items()
        if fields.get(key) != value
    ]
    if not fields.get("FileDescription"):
        problems.append("version information has no FileDescription")

    sizes = sorted(icon.split()[0] for icon in icons)
    if sizes != ["16x16", "32x32", "48x48"]:
        problems.append(f"icon group DEFAULT_ICON holds {sizes or 'nothing'}, expected 16, 32, 48")
    problems += [f"icon image {icon}" for icon in icons if not icon.endswith(" loadable")]

    if [name for name, _ in manifests] != ["1"]:
        problems.append(f"expected one manifest, resource 1; found {[n for n, _ in manifests]}")
    for _, body in manifests:
        problems += manifest_problems(body, arch, version)
    return problems


def readme_problems(data, version):
    problems = []
    if not data.startswith(b"\xef\xbb\xbf"):
        problems.append("README.txt does not start with a UTF-8 byte-order mark")
    try:
        text = data.decode("utf-8-sig")
    except UnicodeDecodeError:
        return problems + ["README.txt is not UTF-8"]
    if re.search(r"(?<!\r)\n", text):
        problems.append("README.txt has line ends other than CR LF")
    if version not in text.split("\r\n", 1)[0]:
        problems.append(f"README.txt's first line does not name version {version}")
    problems += [f"README.txt does not mention {p!r}" for p in README_PHRASES if p not in text]
    return problems


def wine_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def check_program(path, args):
    objdump = subprocess.run(
        [args.objdump, "-p", path], capture_output=True, text=True, check=True
    ).stdout
    problems = pe_problems(objdump, args.arch)
    report = subprocess.run(
        [args.wine_run, args.report_program, wine_path(path)], capture_output=True, timeout=240
    )
    if report.returncode != 0:
        problems.append(f"resource_report failed ({report.returncode}): {report.stderr!r}")
    return problems + resource_problems(report.stdout.decode("utf-8"), args.arch, args.version)


def check_package(path, args):
    with zipfile.ZipFile(path) as archive:
        names = set(archive.namelist())
        problems = []
        if names != PACKAGE_FILES:
            problems.append(f"package holds {sorted(names)}, expected {sorted(PACKAGE_FILES)}")
        if "README.txt" in names:
            problems += readme_problems(archive.read("README.txt"), args.version)
        if "ipflip.exe" in names:
            with tempfile.TemporaryDirectory(prefix="ipflip-package-") as folder:
                archive.extract("ipflip.exe", folder)
                problems += check_program(os.path.join(folder, "ipflip.exe"), args)
    return problems


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("kind", choices=["program", "package"])
    parser.add_argument("path")
    parser.add_argument("--arch", required=True, choices=sorted(PE_FORMATS))
    parser.add_argument("--version", required=True)
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--wine-run", required=True)
    parser.add_argument("--report-program", required=True)
    args = parser.parse_args()

    if not os.path.isfile(args.path):
        sys.exit(f"missing: {args.path}")
    check = check_program if args.kind == "program" else check_package
    problems = check(args.path, args)
    for problem in problems:
        print(f"{args.path}: {problem}")
    if problems:
        sys.exit(1)
    print(f"{args.path}: ok")


if __name__ == "__main__":
    main()
