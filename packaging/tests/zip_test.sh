#!/bin/sh
# The Windows zip: exactly the program, the parser library, the read-me and
# the licence, the programs as built, the texts in Windows-1251 with CR LF.
# Usage: zip_test.sh CPACK_CONFIG ZIP_NAME ZELTRAN_EXE PARVEX_DLL README_SOURCE LICENSE
set -u
config=$1 zip_name=$2 program=$3 library=$4 readme=$5 license=$6
. "$(dirname "$0")/package_test.sh"
make_package "$config"
zip=$folder/out/$zip_name
[ -f "$zip" ] || { fail "no $zip_name among: $(cd "$folder/out" && echo *)"; exit 1; }

names=$(unzip -Z1 "$zip" | LC_ALL=C sort)
[ "$names" = "$(printf 'LICENSE.txt\nREADME.txt\nparvex.dll\nzeltran.exe')" ] || fail "zip holds: $names"

unpacked=$folder/unpacked
unzip -q "$zip" -d "$unpacked"
cmp -s "$program" "$unpacked/zeltran.exe" || fail "zeltran.exe differs from the build's"
cmp -s "$library" "$unpacked/parvex.dll" || fail "parvex.dll differs from the build's"
iconv -f UTF-8 -t WINDOWS-1251 "$readme" | sed 's/$/\r/' | cmp -s - "$unpacked/README.txt" ||
    fail "README.txt is not its source in Windows-1251 with CR LF"
sed 's/$/\r/' "$license" | cmp -s - "$unpacked/LICENSE.txt" || fail "LICENSE.txt is not the licence with CR LF"
# "Программа" in Windows-1251; in UTF-8 every letter would be two bytes.
LC_ALL=C grep -q "$(printf '\317\360\356\343\360\340\354\354\340')" "$unpacked/README.txt" ||
    fail "README.txt lacks the Windows-1251 bytes of a Russian word"

exit $((failures > 0))
