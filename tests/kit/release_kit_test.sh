#!/bin/bash
# The release kit as a vendor makes it and as the package manager and a deployment tool take it:
# scripts/release.sh for both architectures, signed with a throwaway code-signing certificate; every
# signed file verifies against that certificate and a changed byte does not; the zip holds the media
# and nothing else; SHA256SUMS holds; the manifests pass the package manager's schemas and name the
# zip's hash and the uninstall entry's key; the signed x64 setup.exe, run from the extracted zip as
# the manifest says, installs silently under Wine and goes again by the entry's quiet uninstall
# command; the image and resource tests pass on the signed files.
set -u
. "$(dirname "$0")/../../scripts/testbed.sh"
tb_init
tb_template

failures=0
fail() { echo "release_kit: FAILED: $*" >&2; failures=$((failures + 1)); }
die() { echo "release_kit: FAILED: $*" >&2; exit 1; }
BUILD=${SETUP_TEST_BUILD_DIR:?}
SCHEMAS=${SETUP_TEST_WINGET_SCHEMAS:?}
[ -f "$SCHEMAS/manifest.installer.1.10.0.json" ] || die "no package-manager schemas in $SCHEMAS"
W=$TB_ROOT/kit
mkdir -p "$W"

# A throwaway code-signing certificate, self-signed, so that it is its own trust anchor.
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Release Kit Test Signer" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=critical,codeSigning" \
  -keyout "$W/signer.key" -out "$W/signer.pem" >/dev/null 2>&1 || die "openssl made no certificate"
printf 'throwaway-%s\n' "$RANDOM$RANDOM" >"$W/password"
openssl pkcs12 -export -inkey "$W/signer.key" -in "$W/signer.pem" -out "$W/signer.pfx" \
  -passout "file:$W/password" || die "openssl made no PKCS#12 file"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Someone Else" -keyout "$W/other.key" \
  -out "$W/other.pem" >/dev/null 2>&1 || die "openssl made no second certificate"

# An RFC 3161 timestamp server of its own on this machine (openssl ts), for the i686 kit.
mkdir "$W/tsa"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Release Kit Test Timestamps" \
  -addext "keyUsage=critical,digitalSignature" -addext "extendedKeyUsage=critical,timeStamping" \
  -keyout "$W/tsa/tsa.key" -out "$W/tsa/tsa.pem" >/dev/null 2>&1 || die "openssl made no timestamp certificate"
printf '%s\n' '[tsa]' 'default_tsa = t' '[t]' "serial = $W/tsa/serial" 'signer_digest = sha256' \
  'default_policy = 1.2.3.4.1' 'digests = sha256, sha384, sha512' 'ess_cert_id_alg = sha256' >"$W/tsa/ts.cnf"
echo 01 >"$W/tsa/serial"
start_tsa() {
  python3 - "$W/tsa" >"$W/tsa/port" 2>"$W/tsa/log" <<'EOF' &
import http.server, os, subprocess, sys
folder = sys.argv[1]
class Stamp(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        open(f"{folder}/query", "wb").write(self.rfile.read(int(self.headers["Content-Length"])))
        ok = subprocess.run(["openssl", "ts", "-reply", "-config", f"{folder}/ts.cnf", "-queryfile", f"{folder}/query",
                             "-signer", f"{folder}/tsa.pem", "-inkey", f"{folder}/tsa.key", "-out", f"{folder}/reply"],
                            capture_output=True).returncode == 0
        reply = open(f"{folder}/reply", "rb").read() if ok else b""
        self.send_response(200 if ok else 500)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(reply)))
        self.end_headers()
        self.wfile.write(reply)
server = http.server.HTTPServer(("127.0.0.1", 0), Stamp)
print(server.server_address[1], flush=True)
server.serve_forever()
EOF
  TSA_PID=$!
  for _ in $(seq 100); do [ -s "$W/tsa/port" ] && break; sleep 0.05; done
}
stop_tsa() { kill "$TSA_PID" 2>/dev/null; wait "$TSA_PID" 2>/dev/null; }

declare -A KIT
for arch in x64 i686; do
  stamp=()
  if [ "$arch" = i686 ]; then
    start_tsa
    stamp=("SIGN_TIMESTAMP_URL=http://127.0.0.1:$(cat "$W/tsa/port")")
  fi
  rc=0
  out=$(env -u SIGN_TIMESTAMP_URL SIGN_PFX="$W/signer.pfx" SIGN_PFX_PASSWORD_FILE="$W/password" "${stamp[@]}" \
        SETUP_DIST_DIR="$W/dist" "$TB_REPO/scripts/release.sh" "$arch" 2>&1) || rc=$?
  [ "$arch" = i686 ] && stop_tsa
  [ "$rc" -eq 0 ] || die "release.sh $arch: $out"
  KIT[$arch]=$(find "$W/dist/$arch" -mindepth 1 -maxdepth 1 -type d)
  [ "$(wc -l <<<"${KIT[$arch]}")" -eq 1 ] || die "release.sh $arch laid out no single kit: ${KIT[$arch]}"
  [[ $(tail -1 <<<"$out") == "release: ${KIT[$arch]}: 14 files signed with $W/signer.pfx"* ]] ||
    fail "release.sh $arch's last line: $(tail -1 <<<"$out")"

  # setup.exe and the thirteen language libraries, each signed by the throwaway certificate; the
  # i686 kit's also timestamped by the server above.
  signed=("${KIT[$arch]}/media/setup.exe" "${KIT[$arch]}"/media/setup[A-Z][A-Z][A-Z].dll)
  [ ${#signed[@]} -eq 14 ] || fail "$arch: ${#signed[@]} files to verify, not 14"
  for f in "${signed[@]}"; do
    osslsigncode verify -CAfile "$W/signer.pem" -TSA-CAfile "$W/tsa/tsa.pem" -in "$f" >"$W/verify.txt" 2>&1 ||
      fail "$arch: $f does not verify: $(cat "$W/verify.txt")"
    if [ "$arch" = i686 ]; then
      grep -q "Timestamp Server Signature verification: ok" "$W/verify.txt" || fail "$arch: $f carries no timestamp"
    fi
  done
  [ -z "$(find "${KIT[$arch]}/media" -name '*.signed')" ] || fail "$arch: signing left files behind"

  # A byte changed in the signed code or resources, well before the signature, fails.
  for f in "${signed[0]}" "${signed[1]}"; do
    changed=$W/changed-$arch-${f##*/}
    python3 - "$f" "$changed" <<'EOF'
import struct, sys
data = bytearray(open(sys.argv[1], "rb").read())
pe = struct.unpack_from("<I", data, 0x3C)[0]
optional = pe + 24
security = optional + (96 if struct.unpack_from("<H", data, optional)[0] == 0x10B else 112) + 4 * 8
signature_at = struct.unpack_from("<I", data, security)[0]
assert signature_at > 0, "no signature"
data[signature_at // 2] ^= 0x01
open(sys.argv[2], "wb").write(data)
EOF
    [ -f "$changed" ] || die "$arch: no changed copy of $f"
    if osslsigncode verify -CAfile "$W/signer.pem" -in "$changed" >"$W/verify.txt" 2>&1; then
      fail "$arch: ${f##*/} with a changed byte still verifies"
    fi
  done
  # Against another certificate the signature does not verify either.
  osslsigncode verify -CAfile "$W/other.pem" -in "${signed[0]}" >/dev/null 2>&1 &&
    fail "$arch: setup.exe verifies against a certificate that did not sign it"

  (cd "${KIT[$arch]}" && sha256sum --check --quiet SHA256SUMS) || fail "$arch: SHA256SUMS does not match"

  # The zip, SHA256SUMS and the manifests, as the package manager reads them.
  python3 - "${KIT[$arch]}" "$SCHEMAS" "$arch" >"$W/manifest-$arch.txt" <<'EOF' || fail "$arch: the zip, SHA256SUMS or the manifests (above)"
import glob, hashlib, json, os, sys, zipfile
import jsonschema, yaml

kit, schemas, arch = sys.argv[1:]
media = os.path.join(kit, "media")
failed = []
def check(ok, what):
    if not ok:
        failed.append(what)
        print(f"release_kit: FAILED: {arch}: {what}", file=sys.stderr)

files, folders = set(), set()
for folder, dirs, names in os.walk(media):
    relative = os.path.relpath(folder, media).replace(os.sep, "/")
    if relative != ".":
        folders.add(relative + "/")
    files.update(os.path.normpath(os.path.join(relative, n)).replace(os.sep, "/") for n in names)
zips = glob.glob(os.path.join(kit, "*.zip"))
check(len(zips) == 1, f"one zip in the kit: {zips}")
zip_path = zips[0]
with zipfile.ZipFile(zip_path) as z:
    entries = {i.filename for i in z.infolist()}
    check(entries == files | folders, f"the zip holds {sorted(entries ^ (files | folders))} besides or without the media")
    for name in files & entries:
        check(z.read(name) == open(os.path.join(media, name), "rb").read(), f"{name} in the zip differs from the media's")
zip_hash = hashlib.sha256(open(zip_path, "rb").read()).hexdigest()
listed = {line.split("  ", 1)[1].rstrip("\n") for line in open(os.path.join(kit, "SHA256SUMS"))}
check(listed == {os.path.basename(zip_path)} | {"media/" + f for f in files}, "SHA256SUMS lists the zip and every media file")

documents = {}
for path in sorted(glob.glob(os.path.join(kit, "manifests", "*.yaml"))):
    document = yaml.safe_load(open(path, encoding="utf-8"))
    kind = document.get("ManifestType")
    schema = json.load(open(os.path.join(schemas, f"manifest.{kind}.1.10.0.json"), encoding="utf-8"))
    errors = [e.message for e in jsonschema.Draft7Validator(schema).iter_errors(document)]
    check(not errors, f"{os.path.basename(path)} against the {kind} schema: {errors}")
    documents[kind] = document
check(sorted(documents) == ["defaultLocale", "installer", "version"], f"the three manifests: {sorted(documents)}")
installer = documents["installer"]
check({d["PackageVersion"] for d in documents.values()} == {installer["PackageVersion"]}, "one PackageVersion")
package = installer["Installers"][0]
check(package["InstallerSha256"].lower() == zip_hash, "InstallerSha256 is the zip's hash")
check(package["InstallerUrl"].endswith("/" + os.path.basename(zip_path)), "InstallerUrl names the zip")
nested = installer["NestedInstallerFiles"][0]["RelativeFilePath"]
check(nested in files, f"the nested installer {nested} is in the zip")
entry = installer["AppsAndFeaturesEntries"][0]
# For the install that follows: what the package manager runs and what the entry must show.
for key, value in (("zip", zip_path), ("nested", nested), ("silent", installer["InstallerSwitches"]["Silent"]),
                   ("product_code", installer["ProductCode"]), ("entry_product_code", entry["ProductCode"]),
                   ("DisplayName", entry["DisplayName"]), ("Publisher", entry["Publisher"]),
                   ("DisplayVersion", entry["DisplayVersion"]), ("version", installer["PackageVersion"]),
                   ("identifier", installer["PackageIdentifier"])):
    print(f"{key}={value}")
sys.exit(1 if failed else 0)
EOF
done

# Without a certificate the kit is made unsigned and says so last; versions that disagree make none.
cp -r "$SETUP_TEST_PAYLOAD_DIR" "$W/media"
maker=(python3 "$TB_REPO/scripts/release_kit.py" --arch x64 --config "$TB_REPO/packaging/release.conf")
out=$(env -u SIGN_PFX -u SIGN_PFX_PASSWORD_FILE "${maker[@]}" --media "$W/media" --dist "$W/unsigned" 2>&1) ||
  fail "no unsigned kit: $out"
[[ $(tail -1 <<<"$out") == *UNSIGNED* ]] || fail "the unsigned kit's last line: $(tail -1 <<<"$out")"
osslsigncode verify -CAfile "$W/signer.pem" -in "$W/unsigned/x64/KRT55A-1.0.0.4/media/setup.exe" >/dev/null 2>&1 &&
  fail "the unsigned kit's setup.exe carries a signature"
sed -i 's/^Version=.*/Version=1.0.0.5/' "$W/media/setup.ini"
if out=$("${maker[@]}" --media "$W/media" --dist "$W/mismatch" 2>&1); then
  fail "a kit was made from versions that disagree"
fi
[[ $out == *"1.0.0.4"*"1.0.0.5"* ]] || fail "the mismatch does not name both versions: $out"
[ -z "$(ls -A "$W/mismatch/x64" 2>/dev/null)" ] || fail "a kit was left from versions that disagree"

[ "$failures" -eq 0 ] || die "$failures checks of the kits failed"

# The x64 kit under Wine, as the package manager runs it: the zip extracted into the user's
# temporary folder, the nested installer started there with the silent switch.
tb_new_prefix "$TB_ROOT/pfx"
value() { sed -n "s/^$1=//p" "$W/manifest-x64.txt"; }
wine_out() { "$WINE" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
REPORT=$BUILD/tests/tools/install_report.exe
UNINSTALL='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall'
# The keys below Uninstall, by their full names.
entries() { wine_out reg query "$UNINSTALL" | grep -i '\\CurrentVersion\\Uninstall\\' | sort; }
folder="AppData\\Local\\Temp\\WinGet\\$(value identifier).$(value version)\\extracted"
extracted=$WINEPREFIX/drive_c/users/$(id -un)/${folder//\\//}
python3 -m zipfile -e "$(value zip)" "$extracted" || die "the zip does not extract"
setup="C:\\users\\$(id -un)\\$folder\\$(value nested)"
app=$(value DisplayName)

entries_before=$(entries)
report_before=$(wine_out "$REPORT" report "C:\\Program Files\\$(value product_code)" "$(value product_code)" "$app")
out=$(wine_out "$REPORT" run "\"$setup\" $(value silent)")
[ "$out" = "exit code 0" ] || fail "the install from the extracted zip: $out"
new_entry=$(comm -13 <(echo "$entries_before") <(entries))
key=${new_entry##*\\}
[ "$(wc -l <<<"$new_entry")" -eq 1 ] && [ -n "$key" ] || die "the install made no single uninstall entry: $new_entry"
[ "$key" = "$(value product_code)" ] || fail "the entry's key is $key, the manifest's ProductCode $(value product_code)"
[ "$key" = "$(value entry_product_code)" ] || fail "the entry's key is $key, AppsAndFeaturesEntries says $(value entry_product_code)"
reg_value() { wine_out reg query "$UNINSTALL\\$key" /v "$1" | sed -n "s/^ *$1 *REG_SZ *//p"; }
for name in DisplayName Publisher DisplayVersion; do
  [ "$(reg_value $name)" = "$(value $name)" ] || fail "the entry's $name is '$(reg_value $name)', the manifest's '$(value $name)'"
done
install=$(reg_value InstallLocation)
install_host=$WINEPREFIX/drive_c/${install#C:\\}
install_host=${install_host//\\//}
# Complete: the record ends with its completion, the log with the exit code, and the removal program
# is the signed one.
tail -1 "$install_host/Uninstall/install-record.txt" | grep -q '^completed | #[0-9a-f]\{8\}'$'\r''$' ||
  fail "the install record does not end with completed"
log=$(find "$WINEPREFIX/drive_c/users" -name "$key-setup.log" | head -1)
[ "$(tail -1 "$log" | tr -d '\r' | sed 's/^ *[0-9]* *//')" = "Exit code 0" ] || fail "the install's log ends: $(tail -1 "$log")"
cmp -s "$install_host/Uninstall/setup.exe" "${KIT[x64]}/media/setup.exe" || fail "the installed removal program is not the signed setup.exe"

quiet=$(reg_value QuietUninstallString)
out=$(wine_out "$REPORT" run "$quiet")
[ "$out" = "exit code 0" ] || fail "the quiet uninstall command $quiet: $out"
[ "$(entries)" = "$entries_before" ] || fail "uninstall entries left: $(comm -13 <(echo "$entries_before") <(entries))"
report_after=$(wine_out "$REPORT" report "C:\\Program Files\\$(value product_code)" "$(value product_code)" "$app")
[ "$report_after" = "$report_before" ] || fail "the removal left: $(diff <(echo "$report_before") <(echo "$report_after"))"
[ ! -e "$install_host" ] || fail "the install folder $install is left"

# The image and resource tests on the signed files: the i686 kit's setup.exe as the shipped program,
# the x64 kit's media as the payload.
mkdir -p "$W/signed-product"
ln -s "${KIT[i686]}/media" "$W/signed-product/sample-payload"
for t in "unit/unit_tests.exe --gtest_filter=ProductImage.*" resources/resources_tests.exe \
         resources/language_libraries_tests.exe; do
  SETUP_TEST_PRODUCT_DIR=$W/signed-product SETUP_TEST_PAYLOAD_DIR=${KIT[x64]}/media \
    "$WINE" "$BUILD"/tests/$t </dev/null >"$W/gtest.txt" 2>&1 || fail "$t on the signed files: $(grep -B5 FAILED "$W/gtest.txt")"
done

[ "$failures" -eq 0 ] || die "$failures checks failed"
echo "release_kit: passed"
