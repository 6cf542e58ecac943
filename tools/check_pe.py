#!/usr/bin/env python3
"""Checks the shipped programs of a build folder without running them.

Each program must embed an application manifest (resource type RT_MANIFEST,
id 1) that asks for asInvoker and names Windows 7 to 11 as supported, and
must be linked large-address-aware. Without the manifest Windows virtualises
the 32-bit programs' writes into protected folders: a denied write lands in
the user's VirtualStore and is reported as a success.

    check_pe.py [--machine i386|amd64] [--skip-if-unbuilt] [--source DIR] BUILD_DIR
    check_pe.py [--machine i386|amd64] FILE.exe...

A program whose main.cpp does not exist yet in the source tree (default:
this script's) is skipped; one whose source exists but whose executable is
missing fails the check. Exit code 0 when
every program passes, 1 on any miss, 77 with --skip-if-unbuilt when the
build folder holds none of the programs.
"""
import argparse
import os
import struct
import sys
import xml.etree.ElementTree as ElementTree

SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

# (source folder, executable): the programs a studio ships.
PROGRAMS = [("engine", "Tidemill.exe"), ("copier", "Ferrier.exe"), ("launcher", "Brightgate.exe")]

MACHINES = {"i386": 0x014C, "amd64": 0x8664}
LARGE_ADDRESS_AWARE = 0x0020
RT_MANIFEST = 24
PROCESS_MANIFEST_ID = 1
SUPPORTED_OS = {
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}": "Windows 7",
    "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}": "Windows 8",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}": "Windows 8.1",
    "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}": "Windows 10 and 11",
}
SKIPPED = 77


class BadImage(Exception):
    pass


class PeImage:
    """The headers, sections and resource tree of one PE file."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ" or len(data) < 0x40:
            raise BadImage("no MZ header")
        (pe,) = self.unpack("<I", 0x3C)
        if data[pe:pe + 4] != b"PE\0\0":
            raise BadImage("no PE signature")
        coff = pe + 4
        self.machine, sections, _, _, _, optional_size, self.characteristics = self.unpack("<HHIIIHH", coff)
        optional = coff + 20
        (magic,) = self.unpack("<H", optional)
        if magic == 0x10B:
            directories = optional + 96
        elif magic == 0x20B:
            directories = optional + 112
        else:
            raise BadImage("unknown optional header 0x%x" % magic)
        (count,) = self.unpack("<I", directories - 4)
        self.resource_rva, self.resource_size = self.unpack("<II", directories + 16) if count > 2 else (0, 0)
        self.sections = []
        table = optional + optional_size
        for n in range(sections):
            _, virtual_size, rva, raw_size, raw_at = self.unpack("<8sIIII", table + 40 * n)
            self.sections.append((rva, max(virtual_size, raw_size), raw_at, raw_size))

    def unpack(self, layout, at):
        size = struct.calcsize(layout)
        if at < 0 or at + size > len(self.data):
            raise BadImage("truncated at 0x%x" % at)
        return struct.unpack_from(layout, self.data, at)

    def offset(self, rva):
        for start, size, raw_at, raw_size in self.sections:
            if start <= rva < start + size and rva - start < raw_size:
                return raw_at + rva - start
        raise BadImage("address 0x%x lies in no section" % rva)

    def resource(self, type_id, name_id):
        """The bytes of the first language of resource (type_id, name_id), or None."""
        if not self.resource_rva:
            return None
        root = self.offset(self.resource_rva)

        def find(directory, wanted):
            _, _, _, _, named, ids = self.unpack("<IIHHHH", root + directory)
            for n in range(named + ids):
                name, target = self.unpack("<II", root + directory + 16 + 8 * n)
                if (wanted is None or (not name & 0x80000000 and name == wanted)):
                    return target
            return None

        names = find(0, type_id)
        if names is None or not names & 0x80000000:
            return None
        languages = find(names & 0x7FFFFFFF, name_id)
        if languages is None or not languages & 0x80000000:
            return None
        entry = find(languages & 0x7FFFFFFF, None)
        if entry is None or entry & 0x80000000:
            return None
        rva, size, _, _ = self.unpack("<IIII", root + entry)
        at = self.offset(rva)
        return self.data[at:at + size]


def local(tag):
    return tag.rsplit("}", 1)[-1]


def manifest_misses(text):
    """What the manifest lacks, as sentences; empty when it is complete."""
    try:
        root = ElementTree.fromstring(text)
    except ElementTree.ParseError as error:
        return ["the manifest is no well-formed XML (%s)" % error]
    misses = []
    levels = [e for e in root.iter() if local(e.tag) == "requestedExecutionLevel"]
    if not levels:
        misses.append("the manifest has no requestedExecutionLevel")
    elif levels[0].get("level") != "asInvoker":
        misses.append("the manifest asks for %r, not asInvoker" % levels[0].get("level"))
    elif levels[0].get("uiAccess", "false") != "false":
        misses.append("the manifest asks for uiAccess")
    listed = {e.get("Id", "").lower() for e in root.iter() if local(e.tag) == "supportedOS"}
    for guid, name in SUPPORTED_OS.items():
        if guid not in listed:
            misses.append("the manifest does not name %s as supported" % name)
    return misses


def check_file(path, machine):
    """What is wrong with one executable, as sentences."""
    try:
        with open(path, "rb") as f:
            image = PeImage(f.read())
    except OSError as error:
        return ["cannot be read (%s)" % error.strerror]
    except BadImage as error:
        return ["is no Windows program (%s)" % error]
    misses = []
    if machine is not None and image.machine != MACHINES[machine]:
        misses.append("is built for machine 0x%04x, not %s" % (image.machine, machine))
    if not image.characteristics & LARGE_ADDRESS_AWARE:
        misses.append("is not large-address-aware (COFF characteristics 0x%04x)" % image.characteristics)
    try:
        manifest = image.resource(RT_MANIFEST, PROCESS_MANIFEST_ID)
    except BadImage as error:
        return misses + ["has a damaged resource directory (%s)" % error]
    if manifest is None:
        misses.append("embeds no application manifest (RT_MANIFEST %d)" % PROCESS_MANIFEST_ID)
    else:
        misses.extend(manifest_misses(manifest))
    return misses


def programs_of(build_dir, source):
    """(executable path, name, whether it must exist) per program."""
    found = []
    for folder, exe in PROGRAMS:
        path = os.path.join(build_dir, folder, exe)
        required = os.path.exists(os.path.join(source, folder, "main.cpp"))
        found.append((path, exe, required))
    return found


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--machine", choices=sorted(MACHINES))
    parser.add_argument("--skip-if-unbuilt", action="store_true")
    parser.add_argument("--source", default=SOURCE)
    parser.add_argument("paths", nargs="+")
    args = parser.parse_args(argv)

    if len(args.paths) == 1 and not args.paths[0].lower().endswith(".exe"):
        programs = programs_of(args.paths[0], args.source)
        if args.skip_if_unbuilt and not any(os.path.exists(p) for p, _, _ in programs):
            print("check_pe: SKIPPED: no program is built in %s" % args.paths[0])
            return SKIPPED
    else:
        programs = [(p, os.path.basename(p), True) for p in args.paths]

    failed = 0
    checked = 0
    for path, name, required in programs:
        if not required and not os.path.exists(path):
            print("check_pe: skip %s: the program has no source yet" % name)
            continue
        if not os.path.exists(path):
            print("check_pe: FAIL %s: not built (%s)" % (name, path))
            failed += 1
            continue
        misses = check_file(path, args.machine)
        checked += 1
        if misses:
            failed += 1
            for miss in misses:
                print("check_pe: FAIL %s %s" % (name, miss))
        else:
            print("check_pe: ok   %s: asInvoker manifest, large-address-aware" % name)
    if failed:
        print("check_pe: VERDICT: %d of the programs fail the shipping check" % failed)
        return 1
    print("check_pe: VERDICT: all %d programs pass the shipping check" % checked)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
