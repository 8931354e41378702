#!/bin/sh
# zeltran-cli merge: outcome text, code and exit status for each outcome.
# Usage: merge_command_test.sh ZELTRAN_CLI
set -u
cli=$1
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
failures=0

# expect NAME STATUS OUTPUT -- ARGUMENTS...
expect() {
    name=$1 status=$2 output=$3
    shift 4
    actual=$("$cli" "$@" 2>/dev/null)
    actual_status=$?
    if [ "$actual_status" != "$status" ] || [ "$actual" != "$output" ]; then
        echo "FAIL $name: status $actual_status, output '$actual'" >&2
        failures=$((failures + 1))
    fi
}

cd "$folder"
printf 'new text\n\n' >NEW.DAT
printf 't\ta\td\t0\t1\t10\r\n' >NEW.IDX
printf 'old text\n\n' >OLD.DAT
printf 't\ta\td\t0\t1\t10\r\n' >OLD.IDX

expect merged 0 'Объединение окончено. (14)' -- merge NEW.DAT OLD.DAT
printf 'new text\n\nold text\n\n\r\n' | cmp -s - OLD.DAT || {
    echo "FAIL merged: OLD.DAT" >&2
    failures=$((failures + 1))
}
printf 't\ta\td\t0\t1\t10\r\nt\ta\td\t1\t11\t10\r\n' | cmp -s - OLD.IDX || {
    echo "FAIL merged: OLD.IDX" >&2
    failures=$((failures + 1))
}
# The same new base again: the old base and its backups stay as they are.
mkdir once && cp OLD.DAT OLD.IDX OLD.DA_ OLD.ID_ once/
expect merged_again 3 'Эта новая база уже есть в старой. Базы не объединены. (18)' -- merge NEW.DAT OLD.DAT
for file in OLD.DAT OLD.IDX OLD.DA_ OLD.ID_; do
    cmp -s "once/$file" "$file" || {
        echo "FAIL merged_again: $file changed" >&2
        failures=$((failures + 1))
    }
done
expect missing 1 'Ошибка! файл не существует (15)' -- merge NEW.DAT OTHER.DAT
printf 't\ta\td\t0\r\n' >BAD.IDX
: >BAD.DAT
expect refused 1 'Ошибка! базы не объединены (17)' -- merge NEW.DAT BAD.DAT
expect usage 2 '' -- merge NEW.DAT

exit $((failures > 0))
