#!/usr/bin/env bash
# Signed files run as unsigned ones do: packs a small medium with SETUP.EXE /bundle, signs the
# bundle and the plain SETUP.EXE of a loose medium with a throwaway certificate made here
# (osslsigncode), verifies both signatures against that certificate, and installs from each.
# The plain image ends off an 8-byte step, which the signing tool pads with zeros: every padding
# a tool may put there (0 to 7 zero bytes, and more) runs; bytes that are no zeros are a damage.
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
sign() {   # IN OUT
    osslsigncode sign -certs "$work/cert.pem" -key "$work/key.pem" -n "Signed test" \
        -in "$1" -out "$2" >/dev/null
    osslsigncode verify -CAfile "$work/cert.pem" -in "$2" | grep -q 'Signature verification: ok'
    echo "signed and verified: $(stat -c %s "$1") -> $(stat -c %s "$2") bytes"
}
sign "$work/bundle.exe" "$work/signed.exe"
sign "$work/medium/SETUP.EXE" "$work/signed-setup.exe"

# Runs EXE quietly; its exit code must be WANT, and with 0 the medium's file is installed.
install() {   # EXE WANT
    local status=0
    rm -rf "$work/app"
    WINEDEBUG=-all TMP="$(win "$work/tmp")" TEMP="$(win "$work/tmp")" \
        "$wine_run" "$(win "$1")" /quiet || status=$?
    # The installed copy of the script goes to the system's INF folder: the run's own to remove.
    "$wine_run" cmd /c del "%windir%\\inf\\$inf" >/dev/null 2>&1 || true
    [ "$status" = "$2" ] || { echo "$1 ended with $status, not $2"; exit 1; }
    [ "$2" != 0 ] || grep -q 'Signed and sound.' "$work/app/readme.txt" ||
        { echo "nothing installed by $1"; exit 1; }
    [ -z "$(ls -A "$work/tmp" | grep '^~setupkvb')" ] || { echo "unpacked medium left"; exit 1; }
}
install "$work/signed.exe" 0
echo "installed from the signed bundle"
# The bundle's checksum covers its payload, not the signature behind it: a byte changed there
# breaks the signature, which only Windows checks, and the bundle still installs.
cp "$work/signed.exe" "$work/broken.exe"
printf '\x5a' | dd of="$work/broken.exe" bs=1 seek=$(($(stat -c %s "$work/broken.exe") - 200)) \
    conv=notrunc status=none
! osslsigncode verify -CAfile "$work/cert.pem" -in "$work/broken.exe" 2>/dev/null |
    grep -q 'Signature verification: ok' || { echo "a changed signature verified"; exit 1; }
install "$work/broken.exe" 0
echo "installed from the bundle with a changed signature, as the reference says"

# The signed plain SETUP.EXE, beside the script as on a CD, and copies of it whose signature
# (not checked by Wine's loader) begins after other paddings: the security directory entry, the
# fifth of the optional header's, names where.
cp "$work/signed-setup.exe" "$work/medium/SETUP.EXE"
install "$work/medium/SETUP.EXE" 0
pad() {   # SIGNED PLAIN PADDING OUT
    python3 - "$@" <<'EOF'
import struct, sys
signed, plain, padding, out = open(sys.argv[1], 'rb').read(), open(sys.argv[2], 'rb').read(), \
    bytes.fromhex(sys.argv[3]), sys.argv[4]
pe = struct.unpack_from('<I', signed, 0x3C)[0]
entry = pe + 4 + 20 + 96 + 4 * 8
at, size = struct.unpack_from('<II', signed, entry)
image = bytearray(plain)
struct.pack_into('<II', image, entry, len(plain) + len(padding), size)
open(out, 'wb').write(bytes(image) + padding + signed[at:at + size])
EOF
}
for padding in '' 00 0000 000000 00000000 0000000000 000000000000 00000000000000 \
    "$(printf '0%.0s' {1..64})"; do
    pad "$work/signed-setup.exe" "$setup" "$padding" "$work/medium/SETUP.EXE"
    install "$work/medium/SETUP.EXE" 0
done
echo "installed with the signed SETUP.EXE, the signature after 0 to 7 and 32 zero bytes"
pad "$work/signed-setup.exe" "$setup" 0000005a00 "$work/medium/SETUP.EXE"
install "$work/medium/SETUP.EXE" $((1603 % 256))   # a unix shell sees 8 bits of it
echo "refused a SETUP.EXE with other bytes before its signature"
