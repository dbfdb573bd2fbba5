#!/usr/bin/env python3
"""The add-in bundle: the ZIP a configuration attaches, holding MANIFEST.XML
and the library of every build it names.

    bundle.py make BUILD_ROOT OUTPUT.zip   collect the libraries from the builds
    bundle.py check BUNDLE.zip             check a bundle against its manifest

The manifest (packaging/MANIFEST.XML) has one component per build, in the
platform's bundle namespace; each library is found in BUILD_ROOT/<build>/addin
and goes into the ZIP without its debugging information (binutils' strip reads
both ELF and PE).
The check reads the manifest back from the ZIP: every component names a file
in the ZIP whose format matches its os and arch, and each os/arch pair of the
four builds appears once.
"""
import os
import struct
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ET
import zipfile

NAMESPACE = "http://v8.1c.ru/8.2/addin/bundle"
HERE = os.path.dirname(os.path.abspath(__file__))
# The build (CMake preset's folder under build/) of each os/arch pair.
BUILDS = {
    ("Windows", "i386"): "win-x86",
    ("Windows", "x86_64"): "win-x64",
    ("Linux", "i386"): "linux-i386",
    ("Linux", "x86_64"): "linux-x64",
}


def components(manifest_bytes):
    root = ET.fromstring(manifest_bytes)
    if root.tag != "{%s}bundle" % NAMESPACE:
        raise SystemExit("manifest root is %s, not bundle in %s" % (root.tag, NAMESPACE))
    found = []
    for c in root:
        if c.tag != "{%s}component" % NAMESPACE:
            raise SystemExit("unexpected element %s in the manifest" % c.tag)
        found.append({k: c.get(k) for k in ("os", "path", "type", "arch")})
    return found


def file_format(data):
    """(os, arch) of a library's bytes: ELF or PE, 32- or 64-bit x86."""
    if data[:4] == b"\x7fELF":
        machine = struct.unpack_from("<H", data, 18)[0]
        return "Linux", {3: "i386", 62: "x86_64"}.get(machine, "machine %d" % machine)
    if data[:2] == b"MZ":
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] == b"PE\0\0":
            machine = struct.unpack_from("<H", data, pe + 4)[0]
            return "Windows", {0x14C: "i386", 0x8664: "x86_64"}.get(machine, "machine %#x" % machine)
    return "unknown", "unknown"


def make(build_root, output):
    with open(os.path.join(HERE, "MANIFEST.XML"), "rb") as f:
        manifest = f.read()
    os.makedirs(os.path.dirname(os.path.abspath(output)), exist_ok=True)
    with zipfile.ZipFile(output + ".part", "w", zipfile.ZIP_DEFLATED) as z, \
            tempfile.TemporaryDirectory() as work:
        z.writestr("MANIFEST.XML", manifest)
        for c in components(manifest):
            library = os.path.join(build_root, BUILDS[(c["os"], c["arch"])], "addin", c["path"])
            if not os.path.isfile(library):
                raise SystemExit("missing %s (build its preset first)" % library)
            stripped = os.path.join(work, c["path"])
            subprocess.run(["strip", "--strip-debug", "-o", stripped, library], check=True)
            z.write(stripped, c["path"])
    os.replace(output + ".part", output)
    print("bundle: %s" % output)


def check(bundle):
    with zipfile.ZipFile(bundle) as z:
        names = set(z.namelist())
        if "MANIFEST.XML" not in names:
            raise SystemExit("no MANIFEST.XML in %s" % bundle)
        found = components(z.read("MANIFEST.XML"))
        problems = []
        pairs = sorted((c["os"], c["arch"]) for c in found)
        if pairs != sorted(BUILDS):
            problems.append("components for %s, expected one each for %s" % (pairs, sorted(BUILDS)))
        for c in found:
            if c["type"] != "native":
                problems.append("%s: type %s, not native" % (c["path"], c["type"]))
            if c["path"] not in names:
                problems.append("%s: named in the manifest, not in the ZIP" % c["path"])
                continue
            actual = file_format(z.read(c["path"]))
            if actual != (c["os"], c["arch"]):
                problems.append("%s: a %s %s library, listed as %s %s"
                                % (c["path"], actual[0], actual[1], c["os"], c["arch"]))
    if problems:
        raise SystemExit("bundle %s:\n  %s" % (bundle, "\n  ".join(problems)))
    print("bundle %s: %d components, all present: %s"
          % (bundle, len(found), ", ".join(c["path"] for c in found)))


if __name__ == "__main__":
    if len(sys.argv) == 4 and sys.argv[1] == "make":
        make(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 3 and sys.argv[1] == "check":
        check(sys.argv[2])
    else:
        raise SystemExit(__doc__)
