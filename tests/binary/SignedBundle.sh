#!/usr/bin/env bash
# A bundle signed after packing still runs: packs a small medium with SETUP.EXE /bundle, signs
# the bundle with a throwaway certificate made here (osslsigncode), verifies the signature
# against that certificate, and installs from the signed file.
#   SignedBundle.sh SETUP.EXE WINE-RUN
set -euo pipefail
setup=$1
wine_run=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/signed-bundle.XXXXXX")
trap 'rm -rf "$work"' EXIT
win() { printf 'Z:%s' "$1" | tr / '\\'; }

mkdir -p "$work/medium" "$work/tmp"
cp "$setup" "$work/medium/SETUP.EXE"
inf="SIGNED$$.INF"
printf '[Version]\r\nFormKv=KELVOR\r\n[Strings]\r\nMyProgramPath=%s\r\n[Files]\r\nreadme.txt=\r\n' \
    "$(win "$work/app")" >"$work/medium/$inf"
printf 'Signed and sound.\r\n' >"$work/medium/readme.txt"

"$wine_run" "$(win "$work/medium/SETUP.EXE")" /bundle="$(win "$work/bundle.exe")"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=SETUP.EXE test signer" \
    -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -n "Signed bundle test" \
    -in "$work/bundle.exe" -out "$work/signed.exe" >/dev/null
osslsigncode verify -CAfile "$work/cert.pem" -in "$work/signed.exe" | grep -q 'Signature verification: ok'
echo "signed and verified: $(stat -c %s "$work/bundle.exe") -> $(stat -c %s "$work/signed.exe") bytes"

status=0
WINEDEBUG=-all TMP="$(win "$work/tmp")" TEMP="$(win "$work/tmp")" \
    "$wine_run" "$(win "$work/signed.exe")" /quiet || status=$?
# The installed copy of the script goes to the system's INF folder: the run's own to remove.
"$wine_run" cmd /c del "%windir%\\inf\\$inf" >/dev/null 2>&1 || true
[ "$status" = 0 ] || { echo "the signed bundle's run ended with $status"; exit 1; }
grep -q 'Signed and sound.' "$work/app/readme.txt" || { echo "nothing installed"; exit 1; }
[ -z "$(ls -A "$work/tmp" | grep '^~setupkvb')" ] || { echo "unpacked medium left"; exit 1; }
echo "installed from the signed bundle"
