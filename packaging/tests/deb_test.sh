#!/bin/sh
# The zeltran-cli .deb: its control fields and file list, and the tool as
# unpacked from it (never installed) building forum 3 from the sample pages.
# Usage: deb_test.sh CPACK_CONFIG VERSION LICENSE SAMPLE_PAGES EXPECTED_BASE_FOLDER
set -u
config=$1 version=$2 license=$3 pages=$4 expected=$5
. "$(dirname "$0")/package_test.sh"
make_package "$config"
architecture=$(dpkg --print-architecture)
deb=$folder/out/zeltran-cli_${version}_$architecture.deb
[ -f "$deb" ] || { fail "no $(basename "$deb") among: $(cd "$folder/out" && echo *)"; exit 1; }

fields=$(dpkg-deb -f "$deb" Package Version Architecture)
[ "$fields" = "$(printf 'Package: zeltran-cli\nVersion: %s\nArchitecture: %s' "$version" "$architecture")" ] ||
    fail "control fields: $fields"
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libstdc++6; do
    case ", $depends," in
    *", $library "*) ;;
    *) fail "Depends lacks $library: $depends" ;;
    esac
done

listing=$(dpkg-deb -c "$deb" | awk '{ print $6, $1, $2 }' | LC_ALL=C sort)
[ "$listing" = "./usr/ drwxr-xr-x root/root
./usr/bin/ drwxr-xr-x root/root
./usr/bin/zeltran-cli -rwxr-xr-x root/root
./usr/share/ drwxr-xr-x root/root
./usr/share/doc/ drwxr-xr-x root/root
./usr/share/doc/zeltran-cli/ drwxr-xr-x root/root
./usr/share/doc/zeltran-cli/copyright -rw-r--r-- root/root" ] || fail "files:
$listing"

dpkg -x "$deb" "$folder/root"
cmp -s "$license" "$folder/root/usr/share/doc/zeltran-cli/copyright" || fail "copyright is not the licence"
tool=$folder/root/usr/bin/zeltran-cli
[ "$("$tool" --version)" = "zeltran-cli $version" ] || fail "--version: $("$tool" --version)"

mkdir "$folder/pages"
cp "$pages"/* "$folder/pages"
output=$("$tool" build --pages "$folder/pages" --forum 3)
status=$?
[ "$status" = 0 ] || fail "build: exit status $status"
[ "$output" = "Формирование базы закончено
outcome 10, records 10" ] || fail "build: $output"
for file in FORUM3.DAT FORUM3.IDX; do
    cmp -s "$expected/$file" "$folder/pages/$file" || fail "$file differs from $expected/$file"
done

exit $((failures > 0))
