# The benchmark payloads, shared by bench/zorpack_bench.sh and
# bench/install_bench.sh (sourced, not run). Both are made once in a work
# directory from files every machine of ours has, each file under a flat name
# Windows can create:
#   small   3,000 files of 2 to 200 KB: C headers, package documentation and
#           small Windows PE files, in path order;
#   large   130 Windows PE files of 256 KB and more, in path order;
#   small1000  the first 1,000 files of small (links to them), for the
#           installer's cost per file at another count.
# Each payload P also gets the list file P.lst of its files.

payload_bytes() { find "$1" -type f -printf '%s\n' | awk '{s += $1} END {print s + 0}'; }

# collect DIR COUNT MIN MAX PREFIX SOURCE [find arguments]: copies regular
# files of MIN to MAX bytes from below SOURCE into DIR, in path order, until
# DIR holds COUNT files. Each file's path becomes its flat name behind PREFIX;
# names Windows could not create, or would take for one already there (letter
# case aside), are passed over.
collect() {
  local dir=$1 count=$2 min=$3 max=$4 prefix=$5 source=$6 size path name held key
  shift 6
  declare -A taken=()
  while IFS= read -r name; do taken[${name,,}]=1; done < <(find "$dir" -type f -printf '%f\n')
  held=${#taken[@]}
  while IFS= read -r -d '' path; do
    [ "$held" -lt "$count" ] || break
    size=$(stat -c %s "$path")
    [ "$size" -ge "$min" ] && [ "$size" -le "$max" ] || continue
    name=$prefix$(tr '/' '_' <<<"${path#"$source"/}")
    case $name in *[\<\>:\"\\\|\?\*]* | *. | *' ') continue ;; esac
    [ "${#name}" -lt 150 ] || continue
    key=${name,,}
    [ -z "${taken[$key]:-}" ] || continue
    taken[$key]=1
    cp "$path" "$dir/$name"
    held=$((held + 1))
  done < <(find "$source" -type f "$@" -print0 2>/dev/null | sort -z)
}

# make_payloads WORK: makes WORK/small and WORK/large (once) and their lists.
make_payloads() {
  local work=$1 pe=/usr/lib/x86_64-linux-gnu/wine/x86_64-windows
  mkdir -p "$work"
  if [ ! -f "$work/small.done" ]; then
    echo "payloads: making $work/small"
    rm -rf "$work/small"
    mkdir -p "$work/small"
    collect "$work/small" 1500 2048 204800 inc_ /usr/include -name '*.h'
    collect "$work/small" 2400 2048 204800 doc_ /usr/share/doc ! -name '*.gz'
    collect "$work/small" 3000 2048 204800 pe_ "$pe"
    collect "$work/small" 3000 2048 204800 lib_ /usr/lib/x86_64-linux-gnu -name '*.so*'
    touch "$work/small.done"
  fi
  if [ ! -f "$work/large.done" ]; then
    echo "payloads: making $work/large"
    rm -rf "$work/large"
    mkdir -p "$work/large"
    collect "$work/large" 130 262144 4194304 pe_ "$pe"
    touch "$work/large.done"
  fi
  if [ ! -f "$work/small1000.done" ]; then
    rm -rf "$work/small1000"
    mkdir -p "$work/small1000"
    find "$work/small" -type f | sort | awk 'NR <= 1000' | xargs -d '\n' ln -t "$work/small1000"
    touch "$work/small1000.done"
  fi
  local name
  for name in small small1000 large; do find "$work/$name" -type f | sort >"$work/$name.lst"; done
}
