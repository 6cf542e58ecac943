"""The update-tree builder: its formats, and a tree read back as the engine would."""
import configparser
import hashlib
import os
import struct
import subprocess
import sys
import tempfile
import unittest
import urllib.parse
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "..", "tools"))
import make_update_tree as mut  # noqa: E402


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def unpack(archive, folder):
    subprocess.run(["7zz", "x", "-t7z", "-y", "-bso0", "-bsp0", "-o" + folder, archive], check=True)


class FormatTest(unittest.TestCase):
    def test_path_hash(self):
        cases = [
            ("", 0),
            ("a", (97 << 32) | 97),
            ("ab", (777 << 32) | 3105),              # 97*7+98, 97*31+98
            ("AB", (777 << 32) | 3105),              # only A-Z are lowered
            ("\u00e9", 0xFFFFFFE9FFFFFFE9),          # 0xE9 in cp1252, a signed byte
        ]
        for path, key in cases:
            self.assertEqual(mut.path_hash(path), key, path)
        self.assertEqual(mut.path_hash("Skin/Main.XML"), mut.path_hash("skin\\main.xml"))
        # The 32-bit halves wrap.
        long_path = "z" * 40
        a = b = 0
        for _ in long_path:
            a = (a * 7 + 122) % 2**32
            b = (b * 31 + 122) % 2**32
        self.assertEqual(mut.path_hash(long_path), (a << 32) | b)

    def test_md5_text_and_versions(self):
        self.assertEqual(mut.md5_text(bytes(16)), "00")
        digest = struct.pack("<QQ", 1, 2**64 - 1)
        self.assertEqual(mut.md5_text(digest), "1" + str(2**64 - 1))
        self.assertEqual(mut.pack_version((1, 2, 3004)), 10203004)
        self.assertEqual(mut.unpack_version(20000000), (2, 0, 0))

    def test_hash_list_records_ascend_as_unsigned(self):
        entries = {2**63 + 5: b"\x01" * 16, 7: b"\x02" * 16, 2**63 - 1: b"\x03" * 16}
        data = mut.encode_hash_list(entries)
        self.assertEqual(len(data), 72)
        keys = [struct.unpack_from("<Q", data, n)[0] for n in range(0, 72, 24)]
        self.assertEqual(keys, [7, 2**63 - 1, 2**63 + 5])
        self.assertEqual(mut.decode_hash_list(data + b"x"), entries)


class TreeTest(unittest.TestCase):
    def setUp(self):
        self.temp = tempfile.TemporaryDirectory()
        self.root = self.temp.name
        self.client = os.path.join(self.root, "client")
        self.launcher = os.path.join(self.root, "launcher")
        self.out = os.path.join(self.root, "out")
        write(os.path.join(self.client, "binkw32.dll"), b"marker")
        write(os.path.join(self.client, "Data", "maps", "one map.txt"), b"map one")
        write(os.path.join(self.client, "Data", "caf\u00e9.txt"), b"accent")
        write(os.path.join(self.client, "version.ini"), b"[version]\r\ncur=0.0.1\r\n")  # the engine's own
        write(os.path.join(self.client, "Tiny", "HashMD5.xmp"), b"old copy")              # the engine's own
        write(os.path.join(self.launcher, "Brightgate.exe"), b"launcher")
        write(os.path.join(self.launcher, "Skin", "Launcher", "main.xml"), b"<Window/>")

    def tearDown(self):
        self.temp.cleanup()

    def served(self, url):
        """The file a percent-decoding server gives for an engine URL."""
        self.assertTrue(url.startswith("http://127.0.0.1:9/"), url)
        path = urllib.parse.unquote_to_bytes(url[len("http://127.0.0.1:9/"):])
        return os.path.join(os.fsencode(self.out), path)

    def engine_url(self, url):
        """The URL as the engine sends it: '\\' to '/', ANSI bytes, high bytes and blanks escaped."""
        data = url.replace("\\", "/").encode("cp1252")
        return "".join("%%%02X" % c if c >= 0x80 else ("%20" if c == 0x20 else chr(c)) for c in data)

    def test_tree_as_the_engine_reads_it(self):
        mut.build_tree(self.client, self.out, (1, 0, 1), "http://127.0.0.1:9", launcher_dir=self.launcher,
                       servers=[mut.Server("7", "Seven", "North"), mut.Server("8", "Eight", "South")])
        servers = ET.parse(os.path.join(self.out, "serverlist.xml")).getroot().findall("Area/Server")
        self.assertEqual([s.get("ID") for s in servers], ["7", "8"])
        server = {child.tag: child.text for child in servers[0]}
        patch_list = configparser.ConfigParser()
        patch_list.read_string(read(self.served(server["UpdateUrl"] + server["Patch"] + "patchList.ini")).decode())
        cur = patch_list.get("patchlist", "cur")
        self.assertEqual(cur, "1.0.1")

        lists = server["UpdateUrl"] + cur + "/" + server["Client"]
        hashes = mut.decode_hash_list(read(self.served(lists + "HashMD5.xmp")))
        paths = dict(line.split("=", 1) for line in read(self.served(lists + "HashToFile.xmp")).decode().split("\n")
                     if line)
        versions = mut.decode_version_list(read(self.served(lists + "HashVersion.xmp")))
        self.assertEqual(sorted(paths.values()), ["Data\\caf\u00e9.txt", "Data\\maps\\one map.txt", "binkw32.dll"])
        self.assertEqual(set(hashes), {int(k) for k in paths})
        for key_text, rel in paths.items():
            key = int(key_text)
            url = self.engine_url(server["UpdateUrl"] + "%d.%d.%d/" % versions[key] + server["Client"] + rel + ".pkg")
            folder = os.path.join(self.root, "unpacked", key_text)
            unpack(self.served(url), folder)
            name = rel.split("\\")[-1]
            self.assertEqual(os.listdir(folder), [name])  # the bare name: unpacked beside its target
            self.assertEqual(hashlib.md5(read(os.path.join(folder, name))).digest(), hashes[key])

        full = os.path.join(self.root, "full")
        unpack(self.served(server["UpdateUrl"] + server["Weiduan"] + "Tiny_Package.pkg"), full)
        self.assertEqual(read(os.path.join(full, "HashMD5.xmp")), read(self.served(lists + "HashMD5.xmp")))
        self.assertIn(b"cur=1.0.1", read(os.path.join(full, "version.ini")))
        self.assertEqual(read(os.path.join(full, "Data", "maps", "one map.txt")), b"map one")

        launcher_hashes = mut.decode_hash_list(read(self.served("http://127.0.0.1:9/launcher/LancherHashMD5.xmp")))
        launcher_paths = read(self.served("http://127.0.0.1:9/launcher/HashToFile.xmp")).decode().split("\n")
        self.assertEqual(len(launcher_hashes), 2)
        self.assertIn("%d=Skin\\Launcher\\main.xml" % mut.path_hash("Skin\\Launcher\\main.xml"), launcher_paths)
        self.assertTrue(os.path.exists(self.served("http://127.0.0.1:9/launcher/Brightgate.exe.pkg")))

    def test_a_newer_release_keeps_unchanged_files_in_their_version_folder(self):
        mut.build_tree(self.client, self.out, (1, 0, 0), "http://127.0.0.1:9", unversioned=["binkw32.dll"])
        write(os.path.join(self.client, "Data", "maps", "one map.txt"), b"map one, revised")
        write(os.path.join(self.client, "Data", "new.txt"), b"new")
        mut.build_tree(self.client, self.out, (1, 0, 1), "http://127.0.0.1:9", unversioned=["binkw32.dll"])
        lists = os.path.join(self.out, "update", "1.0.1", "client")
        versions = mut.decode_version_list(read(os.path.join(lists, "HashVersion.xmp")))
        self.assertEqual(versions[mut.path_hash("Data\\maps\\one map.txt")], (1, 0, 1))
        self.assertEqual(versions[mut.path_hash("Data\\new.txt")], (1, 0, 1))
        self.assertEqual(versions[mut.path_hash("Data\\caf\u00e9.txt")], (1, 0, 0))
        self.assertNotIn(mut.path_hash("binkw32.dll"), versions)
        self.assertTrue(os.path.exists(os.path.join(self.out, "update", "client", "binkw32.dll.pkg")))
        self.assertTrue(os.path.exists(os.path.join(self.out, "update", "1.0.0", "client", "Data", "maps",
                                                    "one map.txt.pkg")))

    def test_patch_package_and_list(self):
        patch = os.path.join(self.root, "patch")
        write(os.path.join(patch, "Data", "fix.txt"), b"fixed")
        mut.build_tree(self.client, self.out, (1, 0, 2), "http://127.0.0.1:9", full_package=False,
                       patches=[((1, 0, 0), None), ((1, 0, 2), patch)])
        package = os.path.join(self.out, "patchs", "Patch_1.0.2.pkg")
        listed = configparser.ConfigParser()
        listed.read(os.path.join(self.out, "update", "patch", "patchList.ini"))
        self.assertEqual(listed.get("patchlist", "patch0"), "1.0.0")
        self.assertEqual(listed.get("patchlist", "patch1"), "1.0.2")
        self.assertEqual(listed.get("patchlist", "patch1md5"), mut.md5_text(hashlib.md5(read(package)).digest()))
        unpacked = os.path.join(self.root, "p")
        unpack(package, unpacked)
        inside = mut.decode_hash_list(read(os.path.join(unpacked, "PatchHashMD5.xmp")))
        self.assertEqual(inside, {mut.path_hash("Data\\fix.txt"): hashlib.md5(b"fixed").digest()})
        self.assertFalse(os.path.exists(os.path.join(self.out, "update", "full", "Tiny_Package.pkg")))

    def test_engine_written_files_are_not_listed(self):
        listed = mut.list_files(self.client)
        self.assertNotIn("version.ini", listed)
        self.assertNotIn("Tiny\\HashMD5.xmp", listed)
        self.assertIn("binkw32.dll", listed)


if __name__ == "__main__":
    unittest.main()
