#!/bin/bash
# The release kit: builds the product in its release preset and lays out
# dist/<arch>/<APPFolderName>-<version>/ with the media (signed when a certificate is given), their
# zip, SHA256SUMS and the package manager's manifests (scripts/release_kit.py; docs/deploying.md).
#   scripts/release.sh [i686|x64]     i686, the product, by default; x64 is the build the tests run
# Environment:
#   SIGN_PFX, SIGN_PFX_PASSWORD_FILE  the code-signing certificate (PKCS#12) and a file holding its password
#   SIGN_TIMESTAMP_URL                an RFC 3161 timestamp server, when the signatures are to be timestamped
#   SETUP_DIST_DIR                    where the kits go instead of dist/
set -euo pipefail
cd "$(dirname "$0")/.."
arch=${1:-i686}
case $arch in
  i686) preset=i686 ;;
  x64) preset=x64-release ;;
  *) echo "usage: scripts/release.sh [i686|x64]" >&2; exit 2 ;;
esac

scripts/install-tools.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" >/dev/null

python3 scripts/release_kit.py --arch "$arch" --media "build/$preset/sample-payload" \
  --config packaging/release.conf --dist "${SETUP_DIST_DIR:-dist}/$arch"
