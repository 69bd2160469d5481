#!/bin/bash
# Link launcher for the installer stub: makes --gc-sections effective on
# 64-bit Windows with GNU ld.
#
# Usage (as the target's RULE_LAUNCH_LINK): zor-gc-link.sh COMPILER ARGS...
# where COMPILER ARGS... is the ordinary link command, -o and --gc-sections
# included.
#
# Why: every function compiled with -ffunction-sections gets its unwind data
# in sections of its own, .pdata$NAME and .xdata$NAME next to .text$NAME.
# GNU ld's default script for PE+ keeps every .pdata section (KEEP), and its
# relocations then keep every function alive, so --gc-sections removes no
# code at all. This launcher links with the default script changed so that
# only the unwind sections of functions that are otherwise reachable are
# kept; the unwind sections of unreachable functions are discarded with them.
#
# The set of reachable functions depends on the kept unwind data (an .xdata
# section names the personality routine and the types of catch clauses), so
# the link is repeated until the set of kept unwind sections no longer
# changes. The result then holds exactly the functions a link with working
# garbage collection would hold, each with its unwind data; that is checked
# against the first, ordinary link before the output is accepted.
#
# The script also folds the start-up code's two small data sections into
# .data: .CRT (the tables of initialisers and terminators) and .tls (the
# template of native thread-local data, which holds only the runtime's two
# markers: this compiler emulates thread_local, so no code addresses .tls
# relative to its start). Each would otherwise take a file block of 512
# bytes of its own for a few dozen; their symbols stay as they are.
set -euo pipefail
export LC_ALL=C

if [[ $# -lt 2 ]]; then
    echo "usage: $0 COMPILER ARGS..." >&2
    exit 2
fi

output=
args=("$@")
for ((i = 0; i < ${#args[@]}; ++i)); do
    if [[ ${args[i]} == -o ]]; then output=${args[i + 1]}; fi
done
if [[ -z $output ]]; then
    echo "$0: the link command has no -o" >&2
    exit 2
fi

work=$(mktemp -d "${output}.gc.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
    echo "$0: $*" >&2
    rm -f "$output"
    exit 1
}

# Lists "KIND SUFFIX FILE" for every non-empty per-function section kept in
# the image: KIND is text, pdata or xdata, SUFFIX the part after the kind
# (e.g. "$_Z3fooi"), FILE the object ("lib.a(member)" for archive members).
sections_of_map() {
    awk '
        /^Linker script and memory map/ { on = 1; next }
        !on { next }
        /^[^ ]/ { out = $1; next }
        /^ \.[^ ]/ {
            name = $1
            if (NF >= 4) { size = $3; file = $4 }
            else if ((getline line) > 0) { split(line, f, " "); size = f[2]; file = f[3] }
            if (size ~ /^0x0*$/ || out == "/DISCARD/") next
            if (match(name, /^\.(text|pdata|xdata)[$.]/)) {
                kind = substr(name, 2, RLENGTH - 2)
                print kind, substr(name, RLENGTH), file
            }
        }' "$1" | sort -u
}

# Writes the linker script: the default one, with the per-function .pdata and
# .xdata sections kept only for the "SUFFIX FILE" pairs listed in $1 and every
# other per-function unwind section discarded.
write_script() {
    local keep=$1 script=$2
    awk -v keepfile="$keep" '
        function member_pattern(file) {
            # "lib.a(member)" in a map is written "lib.a:member" in a script.
            if (match(file, /\([^()]*\)$/))
                return substr(file, 1, RSTART - 1) ":" substr(file, RSTART + 1, RLENGTH - 2)
            return file
        }
        function keeplist(kind,    file, out, i) {
            out = ""
            for (file in names) out = out "\n    KEEP(" member_pattern(file) "(" gensub_kind(names[file], kind) "))"
            return out
        }
        function gensub_kind(list, kind,    n, parts, i, s) {
            n = split(list, parts, " ")
            s = ""
            for (i = 1; i <= n; ++i) s = s (i > 1 ? " " : "") "." kind parts[i]
            return s
        }
        BEGIN {
            while ((getline line < keepfile) > 0) {
                split(line, f, " ")
                names[f[2]] = (f[2] in names ? names[f[2]] " " : "") f[1]
            }
        }
        $0 ~ /^ *KEEP *\(\*\(\.pdata\*\)\) *$/ { print "    KEEP(*(.pdata))" keeplist("pdata"); next }
        $0 ~ /^ *KEEP *\(\*\(\.xdata\*\)\) *$/ {
            print "    KEEP(*(.xdata))" keeplist("xdata")
            getline; print
            print "  /DISCARD/ : { *(.pdata$* .pdata.* .xdata$* .xdata.*) }"
            xdata = 1
            next
        }
        { print }
        END { if (!xdata) exit 1 }' "$DEFAULT_SCRIPT" > "$script" || fail "unexpected default linker script"
}

# Prints the script $1 with the contents of its .CRT and .tls output
# sections moved to the end of .data; fails unless all three are there.
fold_small_data() {
    awk '
        function start(line) { return line ~ /^  \.(CRT|tls|data) BLOCK\(__section_alignment__\) :$/ }
        # First pass: the bodies of .CRT and .tls, between their braces.
        NR == FNR {
            if (start($0)) { name = $1; depth = 0; next }
            if (name == "") next
            if ($0 ~ /^  \{$/) { depth = 1; next }
            if ($0 ~ /^  \}$/) { name = ""; next }
            if (depth) body[name] = body[name] $0 "\n"
            next
        }
        # Second pass: .data ends with both bodies, and with the .CRT groups
        # the default script leaves to orphan placement (the markers of the
        # dynamic TLS initialisers, .CRT$XDA and .CRT$XDZ), sorted as there;
        # .CRT and .tls are left out.
        start($0) && $1 != ".data" { skip = 1; next }
        skip { if ($0 ~ /^  \}$/) skip = 0; next }
        start($0) { indata = 1 }
        indata && $0 ~ /^  \}$/ { printf "%s    KEEP (*(SORT(.CRT$*)))\n%s", body[".CRT"], body[".tls"]; indata = 0; done = 1 }
        { print }
        END { if (!done || body[".CRT"] == "" || body[".tls"] == "") exit 1 }' "$1" "$1"
}

# 1. The ordinary link: its map pairs every function with its unwind
#    sections, and ld prints the default script it used.
"${args[@]}" -Wl,--verbose -Wl,-Map,"$work/plain.map" > "$work/verbose.txt" || fail "link failed"
DEFAULT_SCRIPT=$work/default.ld
sed -n '/^=====/,/^=====/p' "$work/verbose.txt" | sed '1d;$d' > "$DEFAULT_SCRIPT"
grep -q 'KEEP(\*(\.pdata\*))' "$DEFAULT_SCRIPT" || fail "no default linker script in the linker's output"
fold_small_data "$DEFAULT_SCRIPT" > "$work/folded.ld" || fail "unexpected .data, .CRT or .tls in the default linker script"
DEFAULT_SCRIPT=$work/folded.ld
sections_of_map "$work/plain.map" > "$work/plain.sections"
awk '$1 == "text" { print $2, $3 }' "$work/plain.sections" | sort -u > "$work/plain.text"
awk '$1 == "pdata" { print $2, $3 }' "$work/plain.sections" | sort -u > "$work/plain.pdata"
# Unwind sections that belong to no function section are always kept.
comm -23 "$work/plain.pdata" "$work/plain.text" > "$work/orphans"

# 2. Keep the unwind data of the functions found reachable until the set is stable.
cp "$work/orphans" "$work/keep"
for pass in 1 2 3 4 5 6 7 8; do
    write_script "$work/keep" "$work/pass.ld"
    "${args[@]}" -Wl,-T,"$work/pass.ld" -Wl,-Map,"$work/pass.map" || fail "link failed (pass $pass)"
    sections_of_map "$work/pass.map" > "$work/pass.sections"
    awk '$1 == "text" { print $2, $3 }' "$work/pass.sections" | sort -u > "$work/pass.text"
    { comm -12 "$work/pass.text" "$work/plain.pdata"; cat "$work/orphans"; } | sort -u > "$work/next"
    if cmp -s "$work/next" "$work/keep"; then
        # 3. Every function kept has its unwind data, and nothing new came in.
        awk '$1 == "pdata" { print $2, $3 }' "$work/pass.sections" | sort -u > "$work/pass.pdata"
        missing=$(comm -23 <(comm -12 "$work/pass.text" "$work/plain.pdata") "$work/pass.pdata" | head -5)
        [[ -z $missing ]] || fail "functions without unwind data: $missing"
        extra=$(comm -13 "$work/plain.text" "$work/pass.text" | head -5)
        [[ -z $extra ]] || fail "functions that the ordinary link did not have: $extra"
        exit 0
    fi
    mv "$work/next" "$work/keep"
done
fail "the set of reachable functions did not settle"
