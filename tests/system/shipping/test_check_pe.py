"""tools/check_pe.py passes a good program and names each miss of a bad one."""
import os
import shutil
import struct
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
CHECK = os.path.join(HERE, "..", "..", "..", "tools", "check_pe.py")
PROGRAM = os.environ.get("QUILLON_CHECKED_PROGRAM", "")
UNMANIFESTED = os.environ.get("QUILLON_UNMANIFESTED_PROGRAM", "")
WORK = os.environ.get("QUILLON_CHECK_WORK", "")


def check(*args):
    done = subprocess.run([sys.executable, CHECK] + list(args), capture_output=True, text=True)
    return done.returncode, done.stdout


def read(path):
    with open(path, "rb") as f:
        return f.read()


def machine_of(data):
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    return struct.unpack_from("<H", data, pe + 4)[0]


def patched(data, change):
    data = bytearray(data)
    change(data)
    return bytes(data)


def without_large_address_flag(data):
    (pe,) = struct.unpack_from("<I", data, 0x3C)
    at = pe + 4 + 18
    (flags,) = struct.unpack_from("<H", data, at)
    struct.pack_into("<H", data, at, flags & ~0x20)


def replaced(old, new):
    def change(data):
        at = bytes(data).find(old)
        assert at >= 0 and len(old) == len(new)
        data[at:at + len(old)] = new
    return change


class CheckPeTest(unittest.TestCase):
    def setUp(self):
        self.assertTrue(PROGRAM and UNMANIFESTED and WORK, "run through ctest")
        shutil.rmtree(WORK, ignore_errors=True)
        os.makedirs(WORK)
        self.good = read(PROGRAM)

    def write(self, name, data):
        path = os.path.join(WORK, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
        return path

    def test_each_miss_fails_the_check_with_its_reason(self):
        cases = [
            ("good.exe", self.good, None),
            ("unmanifested.exe", read(UNMANIFESTED), "embeds no application manifest"),
            ("small.exe", patched(self.good, without_large_address_flag), "is not large-address-aware"),
            ("elevated.exe", patched(self.good, replaced(b'level="asInvoker"', b'level="asInvokeX"')),
             "the manifest asks for 'asInvokeX', not asInvoker"),
            ("old.exe", patched(self.good, replaced(b"{8e0f7a12-", b"{00000000-")),
             "the manifest does not name Windows 10 and 11 as supported"),
            ("text.exe", b"MZ not a program at all" + b"\0" * 64, "is no Windows program"),
        ]
        for name, data, reason in cases:
            code, out = check(self.write(name, data))
            if reason is None:
                self.assertEqual(code, 0, out)
                self.assertIn("VERDICT: all 1 programs pass", out)
            else:
                self.assertEqual(code, 1, out)
                self.assertIn("FAIL %s %s" % (name, reason), out)
                self.assertIn("VERDICT: 1 of the programs fail", out)

    def test_a_program_without_source_is_skipped_and_one_with_source_must_be_built(self):
        build = os.path.join(WORK, "build")
        self.write("build/engine/Tidemill.exe", self.good)
        self.write("build/copier/Ferrier.exe", self.good)
        source = os.path.join(WORK, "source")
        for folder in ("engine", "copier"):
            self.write("source/%s/main.cpp" % folder, b"")
        code, out = check("--source", source, build)
        self.assertEqual(code, 0, out)
        self.assertIn("skip Brightgate.exe", out)

        self.write("source/launcher/main.cpp", b"")
        code, out = check("--source", source, build)
        self.assertEqual(code, 1, out)
        self.assertIn("FAIL Brightgate.exe: not built", out)

        self.write("build/launcher/Brightgate.exe", self.good)
        code, out = check("--source", source, build)
        self.assertEqual(code, 0, out)
        self.assertIn("ok   Brightgate.exe", out)

    def test_a_build_folder_without_programs_is_skipped_only_when_asked(self):
        empty = os.path.join(WORK, "empty")
        os.makedirs(empty)
        self.assertEqual(check("--skip-if-unbuilt", empty)[0], 77)
        self.assertEqual(check(empty)[0], 1)

    def test_wrong_machine_fails(self):
        other = "amd64" if machine_of(self.good) == 0x014C else "i386"
        code, out = check("--machine", other, self.write("other.exe", self.good))
        self.assertEqual(code, 1, out)
        self.assertIn("is built for machine", out)


if __name__ == "__main__":
    unittest.main()
