#!/usr/bin/env bash
# Checks the 32-bit Windows plug-in libraries without running them (this machine cannot run
# 32-bit Windows programs). For each library in PLUGIN_DIR:
#   - it is a PE32 image for i386 (objdump's file format pei-i386);
#   - it exports exactly VSTPluginMain and main, undecorated, at the same address;
#   - it imports no mingw runtime library, so that it loads on a machine that has only the
#     system's own libraries, and not msimg32 either;
#   - it has a resource section (the editor's images).
# Exits non-zero, naming every failed check, when any library fails.
set -u

OBJDUMP=${OBJDUMP:-i686-w64-mingw32-objdump}
LIBRARIES=(QRV_BrambleCascader.dll QRV_BrambleCascader_mono.dll)
# Libraries of the mingw toolchain that a self-contained build links statically instead.
RUNTIME_PATTERN='^(libgcc|libstdc\+\+|libwinpthread|libssp|libgomp|libatomic|libquadmath)'

if [[ $# -ne 1 ]]; then
    echo "usage: $0 PLUGIN_DIR" >&2
    exit 2
fi
plugin_dir=$1
if ! command -v "$OBJDUMP" >/dev/null; then
    echo "FAIL: $OBJDUMP not found (install binutils-mingw-w64-i686)" >&2
    exit 2
fi

failures=0
fail() {
    echo "FAIL: $1: $2" >&2
    failures=$((failures + 1))
}

check_library() {
    local name=$1 path=$plugin_dir/$1 dump
    if [[ ! -f $path ]]; then
        fail "$name" "not found in $plugin_dir"
        return
    fi
    if ! dump=$("$OBJDUMP" -p "$path" 2>&1); then
        fail "$name" "objdump cannot read it: $dump"
        return
    fi

    local format
    format=$(sed -n 's/.*file format \([^ ]*\).*/\1/p' <<<"$dump" | head -n 1)
    [[ $format == pei-i386 ]] || fail "$name" "file format is '${format:-unknown}', not pei-i386"
    grep -Eq '^Magic[[:space:]]+010b[[:space:]]+\(PE32\)' <<<"$dump" ||
        fail "$name" "optional header is not PE32 (magic 010b)"

    # The export address table maps each ordinal index to an address; the name table maps each
    # exported name to an ordinal index:
    #   [   0] +base[   1] 14b0 Export RVA
    #   [   0] VSTPluginMain
    local -A rva_of_index=()
    local -A index_of_name=()
    local section="" line index rest
    while IFS= read -r line; do
        case $line in
        "Export Address Table -- "*) section=addresses ;;
        "[Ordinal/Name Pointer] Table"*) section=names ;;
        "") [[ $section == names ]] && section="" ;;
        *)
            if [[ $section == addresses && $line =~ ^[[:space:]]*\[[[:space:]]*([0-9]+)\][[:space:]]+\+base\[[[:space:]]*[0-9]+\][[:space:]]+([0-9a-fA-F]+)[[:space:]]+(.*)$ ]]; then
                index=${BASH_REMATCH[1]}
                rest=${BASH_REMATCH[3]}
                # A forwarded entry is not code of this library.
                [[ $rest == "Export RVA" ]] && rva_of_index[$index]=${BASH_REMATCH[2]}
            elif [[ $section == names && $line =~ ^[[:space:]]*\[[[:space:]]*([0-9]+)\][[:space:]]+(.+)$ ]]; then
                index_of_name[${BASH_REMATCH[2]}]=${BASH_REMATCH[1]}
            fi
            ;;
        esac
    done <<<"$dump"

    local names
    names=$(printf '%s\n' "${!index_of_name[@]}" | sort | paste -sd ' ')
    if [[ $names != "VSTPluginMain main" ]]; then
        fail "$name" "exports '${names}', expected exactly 'VSTPluginMain main' (undecorated)"
    else
        local entry=${rva_of_index[${index_of_name[VSTPluginMain]}]:-}
        local alias=${rva_of_index[${index_of_name[main]}]:-}
        if [[ -z $entry || -z $alias ]]; then
            fail "$name" "VSTPluginMain or main has no address of its own (forwarded?)"
        elif [[ $entry != "$alias" ]]; then
            fail "$name" "VSTPluginMain is at RVA $entry but main at RVA $alias"
        fi
    fi

    local imported runtime
    imported=$(sed -n 's/^[[:space:]]*DLL Name: //p' <<<"$dump")
    runtime=$(grep -Ei "$RUNTIME_PATTERN" <<<"$imported" | paste -sd ' ')
    [[ -z $runtime ]] || fail "$name" "imports mingw runtime libraries: $runtime"
    # The blending functions are looked up at run time, so the library loads where they are missing.
    ! grep -qix 'msimg32.dll' <<<"$imported" || fail "$name" "imports msimg32.dll instead of loading it"
    # The editor's four images are built in.
    grep -Eq '^[[:space:]]*[0-9]+[[:space:]]+\.rsrc' <<<"$("$OBJDUMP" -h "$path")" ||
        fail "$name" "has no resource section"

    if [[ $failures -eq 0 ]]; then
        echo "ok: $name: pei-i386, exports VSTPluginMain and main at RVA $entry, imports" \
            "$(paste -sd ' ' <<<"$imported")"
    fi
}

for library in "${LIBRARIES[@]}"; do
    before=$failures
    failures=0
    check_library "$library"
    [[ $failures -eq 0 ]] || echo "FAIL: $library: $failures check(s) failed" >&2
    failures=$((before + failures))
done

if [[ $failures -ne 0 ]]; then
    echo "FAIL: $failures check(s) failed in $plugin_dir" >&2
    exit 1
fi
echo "ok: all plug-in libraries in $plugin_dir passed"
