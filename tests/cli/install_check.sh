#!/usr/bin/env bash
# What `cmake --install` puts under a prefix, used from there: the program,
# its man page in step with its --help (every option of --help is in it), the
# bash completion through bash-completion (options, the choices of an option,
# data names of --select, files), the README, and the Python package where
# built.
#   install_check.sh BUILD_DIR SAMPLE_RECORD [PYTHON]
set -euo pipefail
build=$1
sample=$2
python=${3:-}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail() { echo "install_check: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$root/usr" >/dev/null
exe=$root/usr/bin/segdreport
"$exe" --version | grep -qx 'segdreport [0-9.]*' || fail "the installed program gives no version"
"$exe" --quiet --output - --select all "$sample" | grep '^Recorder File' >/dev/null || fail "the installed program wrote no report"
[ -f "$root/usr/share/doc/segdreport/README.md" ] || fail "no README under share/doc/segdreport"

man_page=$root/usr/share/man/man1/segdreport.1
if command -v help2man >/dev/null; then
  [ -f "$man_page" ] || fail "no man page"
  # help2man writes each '-' of an option as '\-'.
  text=$(sed 's/\\-/-/g' "$man_page")
  for option in $("$exe" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u); do
    grep -qF -- "$option" <<<"$text" || fail "the man page lacks $option of --help"
  done
  man -l "$man_page" 2>/dev/null | grep -q 'segdreport' || [ ! -x /usr/bin/man ] || fail "man cannot read the page"
fi

completion=$root/usr/share/bash-completion/completions/segdreport
[ -f "$completion" ] || fail "no bash completion"
if [ -f /usr/share/bash-completion/bash_completion ]; then
  mkdir "$root/folder" && touch "$root/folder/shot.segd"
  # complete WORDS...: the completions of the last word, one a line.
  complete_words() {
    PATH="$root/usr/bin:$PATH" bash -c '
      source /usr/share/bash-completion/bash_completion
      source "$1"; shift
      COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
      _segdreport segdreport "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
      printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@" 2>/dev/null
  }
  # words | what must be among the completions
  while IFS='|' read -r words expected; do
    read -ra argv <<<"$words"
    [ "${words: -1}" = " " ] && argv+=("")
    got=$(cd "$root/folder" && complete_words "${argv[@]}")
    for want in $expected; do
      grep -qx -- "$want" <<<"$got" || fail "completing '$words' gave [$(tr '\n' ' ' <<<"$got")], not $want"
    done
  done <<'EOF'
segdreport --sum|--summary --summary-format
segdreport --summary-format |csv json
segdreport --select li|line
segdreport --select 0-5,poi|0-5,point
segdreport --output x sh|shot.segd
segdreport --q|--qc --qc-from --quiet
segdreport --re|--report-dir
segdreport --ver|--version
EOF
fi

if [ -n "$python" ] && [ -d "$build/python/segdreport" ]; then
  site=$(find "$root/usr/lib" -type d -name segdreport -path '*-packages/*' | head -n 1)
  [ -n "$site" ] || fail "no Python package under lib/*/*-packages"
  (cd "$root" && PYTHONPATH=$(dirname "$site") "$python" -c \
    'import sys, segdreport; r = segdreport.open(sys.argv[1]); assert len(r.traces) > 0; print(segdreport.__version__)' \
    "$sample" >/dev/null) || fail "the installed Python package does not read the sample"
fi
echo "install_check: program, man page, completion, README and Python package installed and working"
