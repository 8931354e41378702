# Shared by the package tests (sourced): a scratch folder, a failure count,
# and the package made with the tree's own CPack settings into that folder.
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
failures=0
fail() {
    echo "FAIL $*" >&2
    failures=$((failures + 1))
}

# make_package CPACK_CONFIG: the package lands in $folder/out.
make_package() {
    if ! cpack --config "$1" -B "$folder/out" >"$folder/cpack.log" 2>&1; then
        cat "$folder/cpack.log" >&2
        fail "cpack"
        exit 1
    fi
}
