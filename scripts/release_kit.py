#!/usr/bin/env python3
"""Makes the release kit from an assembled setup folder (scripts/release.sh calls it after the build).

    release_kit.py --arch i686|x64 --media <setup folder> --config <release.conf> --dist <folder>

Lays out <dist>/<APPFolderName>-<version>/ with the media, their zip, SHA256SUMS and the package
manager's manifests. The version is that of setup.exe's version resource and of setup.ini's
Version, which must agree. setup.exe and the language libraries are signed first when SIGN_PFX and
SIGN_PFX_PASSWORD_FILE name a certificate (RFC 3161 timestamp from SIGN_TIMESTAMP_URL when set).
"""
import argparse
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import zipfile

import yaml

MANIFEST_VERSION = "1.10.0"
# What the package manager calls each architecture of this build.
ARCHITECTURES = {"i686": "x86", "x64": "x64"}
# What the program reads when setup.ini leaves a key out.
INI_DEFAULTS = {
    ("customized_setting", "appfoldername"): "KRT55A",
    ("startup", "appname"): "Kestrin HW RAID Manager",
    ("startup", "companyname"): "Kestrin Technology Corp.",
    ("startup", "version"): "1.00.00",
}
CONFIG_KEYS = ("PackageIdentifier", "PackageLocale", "PublisherUrl", "DownloadUrlBase", "License", "ShortDescription")
DEVICE_NAMES = {"CON", "PRN", "AUX", "NUL"} | {f"{d}{n}" for d in ("COM", "LPT") for n in range(1, 10)}


class KitError(Exception):
    pass


def read_config(path):
    config = {}
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            key, sep, value = line.partition("=")
            if not sep:
                raise KitError(f"{path}:{number}: not a key=value line")
            config[key.strip()] = value.strip()
    missing = [k for k in CONFIG_KEYS if not config.get(k)]
    if missing:
        raise KitError(f"{path} does not give {', '.join(missing)}")
    return config


def read_setup_ini(path):
    """The values as the program reads them: the system's initialisation-file reader finds sections
    and keys in any case, takes the first of each, and drops blanks and one pair of quotes."""
    data = open(path, "rb").read()
    if data.startswith(b"\xff\xfe") or data.startswith(b"\xfe\xff"):
        text = data.decode("utf-16")
    else:
        # Without a byte-order mark Windows reads the file in the installing machine's code page.
        try:
            text = data.decode("ascii")
        except UnicodeDecodeError:
            raise KitError(f"{path} holds text outside ASCII but is not UTF-16 with a byte-order mark: "
                           "what Windows reads from it depends on the machine's code page")
    values, section = {}, None
    for line in text.splitlines():
        line = line.strip()
        if line.startswith("["):
            section = line[1:line.index("]")].strip().lower() if "]" in line else None
            continue
        key, sep, value = line.partition("=")
        if section is None or not sep:
            continue
        value = value.strip()
        if len(value) >= 2 and value[0] == value[-1] and value[0] in "\"'":
            value = value[1:-1]
        values.setdefault((section, key.strip().lower()), value[:259])
    return {k: values.get(k, default) for k, default in INI_DEFAULTS.items()}


def check_folder_name(name):
    """The rule by which the program refuses an APPFolderName: the kit refuses it too."""
    if (not name or any(c in name for c in '\\/:*?"<>|') or any(ord(c) < 32 for c in name)
            or name.strip(". ") == "" or name[-1] in ". "
            or name.split(".")[0].rstrip(" ").upper() in DEVICE_NAMES):
        raise KitError(f'setup.ini\'s APPFolderName "{name}" is not a plain folder name')


def pe_file_version(path):
    """The file version of the fixed part of a PE file's version resource, as four numbers."""
    data = open(path, "rb").read()

    def u16(offset):
        return struct.unpack_from("<H", data, offset)[0]

    def u32(offset):
        return struct.unpack_from("<I", data, offset)[0]

    try:
        pe = u32(0x3C)
        if data[:2] != b"MZ" or data[pe:pe + 4] != b"PE\0\0":
            raise KitError(f"{path} is not a PE file")
        sections, optional_size = u16(pe + 6), u16(pe + 20)
        optional = pe + 24
        directories = optional + (96 if u16(optional) == 0x10B else 112)
        resource_rva = u32(directories + 2 * 8)
        table = optional + optional_size

        def offset_of(rva):
            for i in range(sections):
                s = table + 40 * i
                virtual_size, virtual_address, raw_size, raw_pointer = struct.unpack_from("<IIII", data, s + 8)
                if virtual_address <= rva < virtual_address + max(virtual_size, raw_size):
                    return rva - virtual_address + raw_pointer
            raise KitError(f"{path}: address {rva:#x} lies in no section")

        root = offset_of(resource_rva)

        def first_entry(directory, wanted_id=None):
            named, ids = u16(directory + 12), u16(directory + 14)
            for i in range(named + ids):
                name, target = struct.unpack_from("<II", data, directory + 16 + 8 * i)
                if wanted_id is None or (not name & 0x80000000 and name == wanted_id):
                    return target
            return None

        node = first_entry(root, 16)  # RT_VERSION
        for _ in range(2):            # its name, then its language
            if node is None or not node & 0x80000000:
                node = None
                break
            node = first_entry(root + (node & 0x7FFFFFFF))
        if node is None or node & 0x80000000:
            raise KitError(f"{path} has no version resource")
        entry = root + node
        start, size = offset_of(u32(entry)), u32(entry + 4)
        block = data[start:start + size]
        fixed = block.find(struct.pack("<I", 0xFEEF04BD))
        if fixed < 0:
            raise KitError(f"{path}: its version resource has no fixed part")
        ms, ls = struct.unpack_from("<II", block, fixed + 8)
        return (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    except struct.error:
        raise KitError(f"{path} is cut short")


def version_numbers(text):
    if not re.fullmatch(r"\d{1,5}(\.\d{1,5}){0,3}", text) or any(int(p) > 65535 for p in text.split(".")):
        raise KitError(f'setup.ini\'s Version "{text}" is not a version of up to four numbers')
    numbers = [int(p) for p in text.split(".")]
    return tuple(numbers + [0] * (4 - len(numbers)))


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for chunk in iter(lambda: f.read(1 << 20), b""):
            digest.update(chunk)
    return digest.hexdigest()


def media_files(media):
    """Every file of the media, relative with forward slashes, sorted."""
    found = []
    for folder, dirs, files in os.walk(media):
        dirs.sort()
        for name in files:
            found.append(os.path.relpath(os.path.join(folder, name), media).replace(os.sep, "/"))
    return sorted(found)


def sign(files, app_name, publisher_url):
    pfx, password_file = os.environ.get("SIGN_PFX"), os.environ.get("SIGN_PFX_PASSWORD_FILE")
    if not pfx:
        return False
    if not password_file:
        raise KitError("SIGN_PFX is set but SIGN_PFX_PASSWORD_FILE, the file holding its password, is not")
    for path in (pfx, password_file):
        if not os.path.isfile(path):
            raise KitError(f"no file {path}")
    timestamp = os.environ.get("SIGN_TIMESTAMP_URL")
    for path in files:
        signed = path + ".signed"
        command = ["osslsigncode", "sign", "-pkcs12", pfx, "-readpass", password_file, "-h", "sha256",
                   "-n", app_name, "-i", publisher_url]
        if timestamp:
            command += ["-ts", timestamp]
        run = subprocess.run(command + ["-in", path, "-out", signed], capture_output=True, text=True)
        if run.returncode != 0 or not os.path.isfile(signed):
            raise KitError(f"signing {path} failed:\n{run.stdout}{run.stderr}")
        os.replace(signed, path)
    return True


def write_zip(media, zip_path):
    """The media at the zip's root, folders included, so that setup.exe lies at its top."""
    with zipfile.ZipFile(zip_path, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
        for folder, dirs, files in os.walk(media):
            dirs.sort()
            relative = os.path.relpath(folder, media)
            if relative != ".":
                z.write(folder, relative.replace(os.sep, "/") + "/")
            for name in sorted(files):
                path = os.path.join(folder, name)
                z.write(path, os.path.relpath(path, media).replace(os.sep, "/"))


def write_yaml(path, kind, document):
    with open(path, "w", encoding="utf-8", newline="\n") as f:
        f.write(f"# The {kind} manifest, made by scripts/release.sh from setup.ini, setup.exe's version\n"
                "# resource and packaging/release.conf.\n")
        yaml.safe_dump(document, f, sort_keys=False, allow_unicode=True, default_flow_style=False)


def write_manifests(folder, config, ini, version, architecture, zip_name, zip_hash):
    identifier, locale = config["PackageIdentifier"], config["PackageLocale"]
    head = {"PackageIdentifier": identifier, "PackageVersion": version}
    os.makedirs(folder)
    write_yaml(os.path.join(folder, f"{identifier}.yaml"), "version", {
        **head, "DefaultLocale": locale, "ManifestType": "version", "ManifestVersion": MANIFEST_VERSION})
    write_yaml(os.path.join(folder, f"{identifier}.locale.{locale}.yaml"), "default-locale", {
        **head, "PackageLocale": locale,
        "Publisher": ini[("startup", "companyname")],
        "PublisherUrl": config["PublisherUrl"],
        "PackageName": ini[("startup", "appname")],
        "License": config["License"],
        "ShortDescription": config["ShortDescription"],
        "ManifestType": "defaultLocale", "ManifestVersion": MANIFEST_VERSION})
    folder_name = ini[("customized_setting", "appfoldername")]
    write_yaml(os.path.join(folder, f"{identifier}.installer.yaml"), "installer", {
        **head,
        # setup.exe needs its media beside it: the download is their zip, with setup.exe at its top.
        "InstallerType": "zip",
        "NestedInstallerType": "exe",
        "NestedInstallerFiles": [{"RelativeFilePath": "setup.exe"}],
        "Scope": "machine",
        "InstallModes": ["interactive", "silent"],
        "InstallerSwitches": {"Silent": "s", "SilentWithProgress": "s"},
        "ExpectedReturnCodes": [
            {"InstallerReturnCode": 1602, "ReturnResponse": "cancelledByUser"},
            {"InstallerReturnCode": 1618, "ReturnResponse": "installInProgress"},
        ],
        "UpgradeBehavior": "install",
        "ElevationRequirement": "elevatesSelf",
        # The uninstall entry's key is named after the install folder.
        "ProductCode": folder_name,
        "AppsAndFeaturesEntries": [{
            "DisplayName": ini[("startup", "appname")],
            "Publisher": ini[("startup", "companyname")],
            "DisplayVersion": ini[("startup", "version")],
            "ProductCode": folder_name,
            "InstallerType": "exe",
        }],
        "Installers": [{
            "Architecture": architecture,
            "InstallerUrl": config["DownloadUrlBase"].rstrip("/") + "/" + zip_name,
            "InstallerSha256": zip_hash.upper(),
        }],
        "ManifestType": "installer", "ManifestVersion": MANIFEST_VERSION})


def make_kit(arch, media, config_path, dist):
    config = read_config(config_path)
    setup_exe = os.path.join(media, "setup.exe")
    setup_ini = os.path.join(media, "setup.ini")
    for path in (setup_exe, setup_ini, os.path.join(media, "setupENU.dll"), os.path.join(media, "Application")):
        if not os.path.exists(path):
            raise KitError(f"the media lack {path}")
    ini = read_setup_ini(setup_ini)
    folder_name = ini[("customized_setting", "appfoldername")]
    check_folder_name(folder_name)
    for key, what in ((("startup", "appname"), "AppName"), (("startup", "companyname"), "CompanyName")):
        if len(ini[key]) < 2:
            raise KitError(f"setup.ini's {what} \"{ini[key]}\" is too short: the manifests need two characters at least")

    resource = pe_file_version(setup_exe)
    version = ".".join(map(str, resource))
    ini_version = ini[("startup", "version")]
    if version_numbers(ini_version) != resource:
        raise KitError(f"the versions differ: setup.exe's version resource says {version}, "
                       f"setup.ini's Version says {ini_version}")

    kit = os.path.join(dist, f"{folder_name}-{version}")
    shutil.rmtree(kit, ignore_errors=True)
    try:
        signed, count = lay_out(kit, media, config, ini, arch, folder_name, version)
    except BaseException:
        # Half a kit must not pass for one.
        shutil.rmtree(kit, ignore_errors=True)
        raise
    return kit, signed, count


def lay_out(kit, media, config, ini, arch, folder_name, version):
    kit_media = os.path.join(kit, "media")
    shutil.copytree(media, kit_media)

    # Signatures first: the zip and the hashes are of the signed files.
    signed_files = [os.path.join(kit_media, "setup.exe")] + sorted(
        os.path.join(kit_media, name) for name in os.listdir(kit_media)
        if re.fullmatch(r"setup[A-Z]{3}\.dll", name))
    signed = sign(signed_files, ini[("startup", "appname")], config["PublisherUrl"])

    zip_name = f"{folder_name}-{version}-{ARCHITECTURES[arch]}.zip"
    zip_path = os.path.join(kit, zip_name)
    write_zip(kit_media, zip_path)
    zip_hash = sha256(zip_path)
    with open(os.path.join(kit, "SHA256SUMS"), "w", encoding="utf-8", newline="\n") as f:
        f.write(f"{zip_hash}  {zip_name}\n")
        for name in media_files(kit_media):
            f.write(f"{sha256(os.path.join(kit_media, name))}  media/{name}\n")
    write_manifests(os.path.join(kit, "manifests"), config, ini, version, ARCHITECTURES[arch], zip_name, zip_hash)
    return signed, len(signed_files)


def main():
    parser = argparse.ArgumentParser(description="Makes the release kit from an assembled setup folder.")
    parser.add_argument("--arch", choices=sorted(ARCHITECTURES), required=True)
    parser.add_argument("--media", required=True, help="the assembled setup folder")
    parser.add_argument("--config", required=True, help="the vendor's release.conf")
    parser.add_argument("--dist", required=True, help="the folder the kit is laid out in")
    args = parser.parse_args()
    try:
        kit, signed, count = make_kit(args.arch, args.media, args.config, args.dist)
    except (KitError, OSError) as e:
        print(f"release: {e}", file=sys.stderr)
        return 1
    if signed:
        stamp = os.environ.get("SIGN_TIMESTAMP_URL")
        print(f"release: {kit}: {count} files signed with {os.environ['SIGN_PFX']}"
              + (f", timestamped by {stamp}" if stamp else ", without a timestamp"))
    else:
        print(f"release: {kit}: UNSIGNED, no certificate given (SIGN_PFX and SIGN_PFX_PASSWORD_FILE)")
    return 0


if __name__ == "__main__":
    sys.exit(main())
