#!/usr/bin/env python3
"""Builds an update-server tree for Tidemill.exe from a client folder.

The tree is served as the root of an HTTP server whose address is --base-url:

  launcher/LancherHashMD5.xmp        hash list of the launcher's own files
  launcher/HashToFile.xmp            their path map
  launcher/<path>.pkg                one 7z package per launcher file
  serverlist.xml                     areas and servers; every server points at update/
  update/full/Tiny_Package.pkg       the whole client with its HashMD5.xmp and version.ini
  update/patch/patchList.ini         [patchlist] cur and the listed patches
  update/<cur>/client/HashMD5.xmp    the client's hash list
  update/<cur>/client/HashToFile.xmp
  update/<cur>/client/HashVersion.xmp
  update/<ver>/client/<path>.pkg     one 7z package per client file, under the
                                     version in which the file last changed

Every package holds its file under its bare name: the engine unpacks it into
the folder of the file it replaces. Paths are hashed and requested in the
engine's ANSI code page (--codepage); package files are stored under those
bytes so that a server which percent-decodes the request finds them.

Rebuilding into an existing tree for a newer version keeps the version folder
of every file whose digest did not change, as a real release server does.

Subcommands:
  tree      build the tree (see --help)
  hashlist  write the hash list of a folder (an installed client or launcher)
  config    write a LauncherConfig.ini that points at a tree
"""

import argparse
import concurrent.futures
import configparser
import hashlib
import os
import shutil
import struct
import subprocess
import sys
import tempfile
from xml.sax.saxutils import quoteattr, escape

DEFAULT_CODEPAGE = "cp1252"

# Files the engine writes into an installed client or root itself; listing
# them would make every run repair what the previous run wrote.
ENGINE_WRITTEN = {
    "version.ini",
    "hashmd5.xmp",
    "lancherhashmd5.xmp",
    "patchhashmd5.xmp",
    "hashtofile.xmp",
    "hashversion.xmp",
    "tidemill.ini",
    "config\\preference.ini",
    "config\\serverconfig.xml",
    "tiny\\config.ini",
    "tiny\\hashmd5.xmp",
    "tiny\\hashtofile.xmp",
    "tiny\\hashversion.xmp",
}
ENGINE_FOLDERS = ("tmp\\", "log\\", "patchs\\")

LAUNCHER_DIR = "launcher"
UPDATE_DIR = "update"
CLIENT_SUB = "client/"
PATCH_SUB = "patch/"
FULL_SUB = "full/"


# ---------------------------------------------------------------- formats

def path_hash(path, codepage=DEFAULT_CODEPAGE):
    """64-bit key of a relative path: '/' read as '\\', bytes lower-cased
    (A-Z only), then a = a*7 + c and b = b*31 + c over signed bytes, 32 bits."""
    data = path.replace("/", "\\").encode(codepage) if isinstance(path, str) else path
    a = 0
    b = 0
    for byte in data:
        if 0x41 <= byte <= 0x5A:
            byte += 0x20
        c = byte - 256 if byte >= 128 else byte
        a = (a * 7 + c) & 0xFFFFFFFF
        b = (b * 31 + c) & 0xFFFFFFFF
    return (a << 32) | b


def file_md5(path):
    digest = hashlib.md5()
    with open(path, "rb") as f:
        for chunk in iter(lambda: f.read(1 << 20), b""):
            digest.update(chunk)
    return digest.digest()


def md5_text(digest):
    """The digest's text form: two little-endian 64-bit halves in decimal."""
    low, high = struct.unpack("<QQ", digest)
    return "%d%d" % (low, high)


def pack_version(version):
    major, minor, build = version
    return major * 10000000 + minor * 100000 + build


def unpack_version(value):
    return (value // 10000000, (value % 10000000) // 100000, value % 100000)


def parse_version(text):
    parts = text.strip().split(".")
    if len(parts) != 3:
        raise ValueError("version must be MAJOR.MINOR.BUILD: %r" % text)
    return tuple(int(p) for p in parts)


def version_text(version):
    return "%d.%d.%d" % version


def encode_hash_list(entries):
    """entries: {key: 16-byte digest}; 24-byte records in ascending key order."""
    return b"".join(struct.pack("<Q", key) + entries[key] for key in sorted(entries))


def decode_hash_list(data):
    entries = {}
    for offset in range(0, len(data) - len(data) % 24, 24):
        (key,) = struct.unpack_from("<Q", data, offset)
        entries[key] = data[offset + 8:offset + 24]
    return entries


def encode_version_list(entries):
    """entries: {key: (major, minor, build)}; 16-byte records in key order."""
    return b"".join(struct.pack("<QQ", key, pack_version(entries[key])) for key in sorted(entries))


def decode_version_list(data):
    entries = {}
    for offset in range(0, len(data) - len(data) % 16, 16):
        key, value = struct.unpack_from("<QQ", data, offset)
        entries[key] = unpack_version(value)
    return entries


def encode_path_map(paths):
    """paths: {key: relative path with '\\'}; lines key=path in UTF-8."""
    return "".join("%d=%s\n" % (key, paths[key]) for key in sorted(paths)).encode("utf-8")


# ---------------------------------------------------------------- folders

def list_files(folder, skip_engine_files=True):
    """Relative paths ('\\' separated) of every file below folder, sorted."""
    found = []
    for current, dirs, files in os.walk(folder):
        dirs.sort()
        for name in sorted(files):
            full = os.path.join(current, name)
            rel = os.path.relpath(full, folder).replace(os.sep, "\\")
            lowered = rel.lower()
            if skip_engine_files and (lowered in ENGINE_WRITTEN or lowered.startswith(ENGINE_FOLDERS)
                                      or lowered.endswith(".pkg")):
                continue
            found.append(rel)
    return found


def hash_folder(folder, codepage=DEFAULT_CODEPAGE, skip_engine_files=True):
    """{relative path: digest} of a folder's files."""
    return {rel: file_md5(os.path.join(folder, *rel.split("\\")))
            for rel in list_files(folder, skip_engine_files)}


def keyed(digests, codepage):
    keys = {}
    for rel, digest in digests.items():
        key = path_hash(rel, codepage)
        if key in keys:
            raise ValueError("two paths share one key: %s" % rel)
        keys[key] = digest
    return keys


def write_file(path, data):
    """Writes beside the target and renames, so a reader never sees half a file."""
    os.makedirs(os.path.dirname(path) or ".", exist_ok=True)
    temp = path + ".part"
    with open(temp, "wb") as f:
        f.write(data)
    os.replace(temp, path)


def stored_name(out_dir, url_path, codepage):
    """The on-disk name of a served file: the bytes the engine sends (ANSI)."""
    return os.path.join(os.fsencode(out_dir), url_path.replace("\\", "/").encode(codepage))


# ---------------------------------------------------------------- packages

def seven_zip(archive, workdir, names, level):
    """Packs names (relative to workdir) into a new 7z archive."""
    archive = os.fsencode(archive)
    os.makedirs(os.path.dirname(archive) or b".", exist_ok=True)
    temp = archive + b".part"
    if os.path.exists(temp):
        os.remove(temp)
    command = [b"7zz", b"a", b"-t7z", b"-bd", b"-bso0", b"-bsp0", b"-y", b"-mx=%d" % level,
               b"-mmt=1", b"--", temp] + [os.fsencode(n) for n in names]
    result = subprocess.run(command, cwd=workdir, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    if result.returncode != 0:
        raise RuntimeError("7zz failed for %r: %s" % (archive, result.stderr.decode(errors="replace")))
    os.replace(temp, archive)


def pack_single(source, archive, level):
    """A package that holds one file under its bare name."""
    seven_zip(archive, os.path.dirname(source) or ".", [os.path.basename(source)], level)


def pack_all(jobs, level, workers):
    """jobs: [(source file, archive)]; packs them in parallel."""
    with concurrent.futures.ThreadPoolExecutor(max_workers=max(1, workers)) as pool:
        futures = [pool.submit(pack_single, src, dst, level) for src, dst in jobs]
        for future in futures:
            future.result()


# ---------------------------------------------------------------- tree

class Server:
    def __init__(self, server_id, name, area):
        self.id = server_id
        self.name = name
        self.area = area


def parse_server(spec, default_area):
    """ID[:NAME[:AREA]]"""
    parts = spec.split(":")
    server_id = parts[0]
    name = parts[1] if len(parts) > 1 and parts[1] else "Server" + server_id
    area = parts[2] if len(parts) > 2 and parts[2] else default_area
    return Server(server_id, name, area)


def server_list_xml(servers, update_url, client_sub=CLIENT_SUB, patch_sub=PATCH_SUB, full_sub=FULL_SUB):
    areas = []
    for server in servers:
        if server.area not in areas:
            areas.append(server.area)
    lines = ['<?xml version="1.0" encoding="UTF-8"?>', "<ServerList>"]
    for area in areas:
        lines.append("  <Area Areaname=%s>" % quoteattr(area))
        for number, server in enumerate(s for s in servers if s.area == area):
            lines.append('    <Server Name=%s IP="127.0.0.1" Port="%d" ServerKey=%s ID=%s IsNew="0">'
                         % (quoteattr(server.name), 7000 + number, quoteattr("key" + server.id),
                            quoteattr(server.id)))
            for tag, value in (("UpdateUrl", update_url), ("Client", client_sub),
                               ("Patch", patch_sub), ("Weiduan", full_sub)):
                lines.append("      <%s>%s</%s>" % (tag, escape(value), tag))
            lines.append("    </Server>")
        lines.append("  </Area>")
    lines.append("</ServerList>")
    return ("\n".join(lines) + "\n").encode("utf-8")


def previous_release(update_root, codepage):
    """(version, {key: digest}, {key: version}) of the release already in the tree."""
    patch_list = os.path.join(update_root, "patch", "patchList.ini")
    if not os.path.exists(patch_list):
        return None
    parser = configparser.ConfigParser(interpolation=None)
    parser.read(patch_list, encoding="utf-8")
    try:
        version = parse_version(parser.get("patchlist", "cur"))
    except (configparser.Error, ValueError):
        return None
    folder = os.path.join(update_root, version_text(version), "client")
    try:
        with open(os.path.join(folder, "HashMD5.xmp"), "rb") as f:
            digests = decode_hash_list(f.read())
        with open(os.path.join(folder, "HashVersion.xmp"), "rb") as f:
            versions = decode_version_list(f.read())
    except OSError:
        return None
    return version, digests, versions


def build_launcher(launcher_dir, out_dir, codepage, level, workers):
    """launcher/: its list, path map and one package per file."""
    target = os.path.join(out_dir, LAUNCHER_DIR)
    os.makedirs(target, exist_ok=True)
    digests = hash_folder(launcher_dir, codepage) if launcher_dir else {}
    write_file(os.path.join(target, "LancherHashMD5.xmp"), encode_hash_list(keyed(digests, codepage)))
    write_file(os.path.join(target, "HashToFile.xmp"),
               encode_path_map({path_hash(rel, codepage): rel for rel in digests}))
    jobs = [(os.path.join(launcher_dir, *rel.split("\\")),
             stored_name(target, rel + ".pkg", codepage)) for rel in digests]
    pack_all(jobs, level, workers)
    return digests


def build_patch_list(path, version, patches):
    lines = ["[patchlist]", "cur=%s" % version_text(version)]
    for number, (patch_version, digest_text) in enumerate(patches):
        lines.append("patch%d=%s" % (number, version_text(patch_version)))
        lines.append("patch%dMD5=%s" % (number, digest_text))
    write_file(path, ("\r\n".join(lines) + "\r\n").encode("ascii"))


def build_patch_package(folder, out_path, codepage, level):
    """Patch_X.Y.Z.pkg: a folder's files (paths kept) and their PatchHashMD5.xmp."""
    digests = hash_folder(folder, codepage)
    with tempfile.TemporaryDirectory() as staging:
        for rel in digests:
            dst = os.path.join(staging, *rel.split("\\"))
            os.makedirs(os.path.dirname(dst), exist_ok=True)
            shutil.copyfile(os.path.join(folder, *rel.split("\\")), dst)
        write_file(os.path.join(staging, "PatchHashMD5.xmp"), encode_hash_list(keyed(digests, codepage)))
        seven_zip(out_path, staging, sorted(os.listdir(staging)), level)
    return md5_text(file_md5(out_path))


def build_tree(client_dir, out_dir, version, base_url, launcher_dir=None, servers=None,
               codepage=DEFAULT_CODEPAGE, unversioned=(), patches=(), level=5, workers=None,
               full_package=True):
    """Builds (or updates) the tree; returns a summary dict."""
    if not base_url.endswith("/"):
        base_url += "/"
    workers = workers or os.cpu_count() or 1
    servers = servers or [Server("1", "Server1", "Area1")]
    update_root = os.path.join(out_dir, UPDATE_DIR)
    update_url = base_url + UPDATE_DIR + "/"
    os.makedirs(update_root, exist_ok=True)

    launcher = build_launcher(launcher_dir, out_dir, codepage, level, workers)
    write_file(os.path.join(out_dir, "serverlist.xml"), server_list_xml(servers, update_url))

    previous = previous_release(update_root, codepage)
    digests = hash_folder(client_dir, codepage)
    unversioned = {u.replace("/", "\\").lower() for u in unversioned}
    key_digests = keyed(digests, codepage)
    versions = {}
    jobs = []
    for rel, digest in digests.items():
        key = path_hash(rel, codepage)
        if rel.lower() in unversioned:
            folder = ""
        else:
            file_version = version
            if previous and previous[1].get(key) == digest and key in previous[2]:
                file_version = previous[2][key]
            versions[key] = file_version
            folder = version_text(file_version) + "/"
        archive = stored_name(update_root, folder + CLIENT_SUB + rel + ".pkg", codepage)
        if folder and versions[key] != version and os.path.exists(archive):
            continue  # unchanged since an earlier release: its package stays where it is
        jobs.append((os.path.join(client_dir, *rel.split("\\")), archive))
    pack_all(jobs, level, workers)

    lists = os.path.join(update_root, version_text(version), "client")
    hash_list = encode_hash_list(key_digests)
    write_file(os.path.join(lists, "HashMD5.xmp"), hash_list)
    write_file(os.path.join(lists, "HashToFile.xmp"),
               encode_path_map({path_hash(rel, codepage): rel for rel in digests}))
    write_file(os.path.join(lists, "HashVersion.xmp"), encode_version_list(versions))

    patch_entries = []
    for patch_version, patch_folder in patches:
        name = "Patch_%s.pkg" % version_text(patch_version)
        if patch_folder:
            text = build_patch_package(patch_folder, os.path.join(out_dir, "patchs", name), codepage, level)
        else:
            text = ""
        patch_entries.append((patch_version, text))
    build_patch_list(os.path.join(update_root, "patch", "patchList.ini"), version, patch_entries)

    if full_package:
        with tempfile.TemporaryDirectory() as staging:
            for rel in digests:
                dst = os.path.join(staging, *rel.split("\\"))
                os.makedirs(os.path.dirname(dst), exist_ok=True)
                src = os.path.join(client_dir, *rel.split("\\"))
                try:
                    os.link(src, dst)
                except OSError:
                    shutil.copyfile(src, dst)
            write_file(os.path.join(staging, "HashMD5.xmp"), hash_list)
            write_file(os.path.join(staging, "version.ini"),
                       ("[version]\r\ncur=%s\r\n" % version_text(version)).encode("ascii"))
            seven_zip(os.path.join(update_root, "full", "Tiny_Package.pkg"), staging,
                      sorted(os.listdir(staging)), level)

    return {
        "launcher_url": base_url + LAUNCHER_DIR + "/",
        "serverlist_url": base_url + "serverlist.xml",
        "update_url": update_url,
        "client_files": sorted(digests),
        "launcher_files": sorted(launcher),
        "packed": len(jobs),
    }


def launcher_config(base_url, game_name="", platform="", app_name="Quillon", texts=None):
    """LauncherConfig.ini text for an engine served from the tree at base_url."""
    if not base_url.endswith("/"):
        base_url += "/"
    texts = texts if texts is not None else DEFAULT_TEXTS
    lines = ["[platform]", "Platform=%s" % platform, "GameName=%s" % game_name,
             "", "[Server]", "Server1=%s%s/" % (base_url, LAUNCHER_DIR),
             "serverlist=%sserverlist.xml" % base_url, "", "[Launcher]", "AppName=%s" % app_name]
    for number, text in enumerate(texts):
        lines.append("Tip%d=%s" % (number, text))
    return "\r\n".join(lines) + "\r\n"


# Texts Tip0 … Tip78; the engine reads them up to the first empty one.
DEFAULT_TEXTS = [
    "Ready",                                   # 0
    "Loading",                                 # 1
    "Please wait",                             # 2
    "Working",                                 # 3
    "Comparing client files",                  # 4
    "Checking the launcher",                   # 5
    "Fetching the launcher list",              # 6
    "Fetching the server list",                # 7
    "Fetching the patch list",                 # 8
    "Fetching the launcher file map",          # 9
    "Updating launcher files",                 # 10
    "Updating the launcher",                   # 11
    "Close the game to update",                # 12
    "Text 13",                                 # 13
    "Text 14",                                 # 14
    "Downloading the full client",             # 15
    "Fetching the client list",                # 16
    "Fetching the client file map",            # 17
    "Updating client files",                   # 18
    "The client is up to date",                # 19
    "Text 20",                                 # 20
    "Text 21",                                 # 21
    "The patch list has no version",           # 22
    "Text 23",                                 # 23
    "Text 24",                                 # 24
    "Text 25",                                 # 25
    "Text 26",                                 # 26
    "Versions checked",                        # 27
    "A launcher file could not be unpacked",   # 28
    "A package could not be unpacked",         # 29
    "Unpacking the full client",               # 30
] + ["Text %d" % n for n in range(31, 33)] + [
    "Target version unknown",                  # 33
    "Installed version unknown",               # 34
] + ["Text %d" % n for n in range(35, 65)] + [
    "Up to date",                              # 65
    "Speed:",                                  # 66
    "Starting the game",                       # 67
    "Updating the engine",                     # 68
    "Restarting the engine",                   # 69
    "The launcher list could not be fetched",  # 70
    "The launcher file map could not be fetched",  # 71
    "The launcher could not be fetched",       # 72
    "A launcher file could not be fetched",    # 73
    "The server list could not be fetched",    # 74
    "The full client could not be fetched",    # 75
    "The patch list could not be fetched",     # 76
    "The client list could not be fetched",    # 77
    "The client file map could not be fetched",  # 78
]


# ---------------------------------------------------------------- command line

def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    sub = parser.add_subparsers(dest="command", required=True)

    tree = sub.add_parser("tree", help="build or update an update-server tree")
    tree.add_argument("--client", required=True, help="folder of the client at the target version")
    tree.add_argument("--version", required=True, help="target version MAJOR.MINOR.BUILD")
    tree.add_argument("--out", required=True, help="tree folder (the HTTP server's root)")
    tree.add_argument("--base-url", required=True, help="URL at which the tree is served")
    tree.add_argument("--launcher", help="folder of the launcher's own files (default: none)")
    tree.add_argument("--server", action="append", default=[], metavar="ID[:NAME[:AREA]]",
                      help="a server of the list (default: 1:Server1:Area1)")
    tree.add_argument("--unversioned", action="append", default=[], metavar="PATH",
                      help="a client file served without a version folder")
    tree.add_argument("--patch", action="append", default=[], metavar="X.Y.Z[=FOLDER]",
                      help="list a patch; with a folder also build patchs/Patch_X.Y.Z.pkg")
    tree.add_argument("--codepage", default=DEFAULT_CODEPAGE, help="the engine's ANSI code page")
    tree.add_argument("--level", type=int, default=5, help="7z compression level")
    tree.add_argument("--jobs", type=int, default=0, help="packing processes (default: all cores)")
    tree.add_argument("--no-full-package", action="store_true", help="skip Tiny_Package.pkg")

    hashes = sub.add_parser("hashlist", help="write the hash list of a folder")
    hashes.add_argument("--folder", required=True)
    hashes.add_argument("--out", required=True)
    hashes.add_argument("--codepage", default=DEFAULT_CODEPAGE)

    config = sub.add_parser("config", help="write a LauncherConfig.ini for a tree")
    config.add_argument("--base-url", required=True)
    config.add_argument("--out", required=True)
    config.add_argument("--game-name", default="")
    config.add_argument("--platform", default="")

    args = parser.parse_args(argv)
    try:
        if args.command == "tree":
            patches = []
            for spec in args.patch:
                version, _, folder = spec.partition("=")
                patches.append((parse_version(version), folder or None))
            summary = build_tree(args.client, args.out, parse_version(args.version), args.base_url,
                                 launcher_dir=args.launcher,
                                 servers=[parse_server(s, "Area1") for s in args.server] or None,
                                 codepage=args.codepage, unversioned=args.unversioned, patches=patches,
                                 level=args.level, workers=args.jobs or None,
                                 full_package=not args.no_full_package)
            print("tree: %d client files (%d packed), %d launcher files; server list at %s"
                  % (len(summary["client_files"]), summary["packed"], len(summary["launcher_files"]),
                     summary["serverlist_url"]))
        elif args.command == "hashlist":
            write_file(args.out, encode_hash_list(keyed(hash_folder(args.folder, args.codepage), args.codepage)))
        elif args.command == "config":
            write_file(args.out, launcher_config(args.base_url, args.game_name, args.platform).encode("utf-8"))
    except (OSError, ValueError, RuntimeError) as error:
        print("make_update_tree: %s" % error, file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
