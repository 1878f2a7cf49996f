#!/usr/bin/env bash
# The README's first set-up command, run as a newcomer runs it: on a minimal
# Debian (debootstrap --variant=minbase) that holds nothing else, in a fresh
# clone of the committed project, as root from the project folder. The
# command is taken from the README itself (the first ```sh block under
# "## Set-up"), so the README cannot promise what fails. It must print the
# sample report.
#
# The minimal Debian comes from the mirror and suite of this machine's own apt
# sources. Its pristine copy is kept in SEGD_NEWCOMER_CACHE (default
# /var/cache/segdreport-newcomer) and made again when missing, broken or of
# another mirror or suite; each run works in a copy of it. Downloaded packages
# are kept there too. Needs root, debootstrap and Debian's archive.
#   scripts/newcomer-check.sh [--rebuild-base] [--base-only]
# (--base-only makes or checks the minimal Debian and stops: CI fetches it
# while it builds.)
set -euo pipefail
cd "$(dirname "$0")/.."
project=$(pwd)
cache=${SEGD_NEWCOMER_CACHE:-/var/cache/segdreport-newcomer}
base=$cache/base
started=$(date +%s)

say() { echo "newcomer-check: $*"; }
fail() { echo "newcomer-check: FAILED: $*" >&2; exit 1; }

[ "$(id -u)" = 0 ] || fail "needs root (debootstrap, chroot, mounts)"
command -v debootstrap >/dev/null || fail "needs debootstrap (apt-get install debootstrap)"

# The first Debian archive entry of this machine's apt sources for its own
# release: "URI SUITE". Deb822 .sources files first, then one-line .list files.
mirror_and_suite() {
  local codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$codename" ] || return 1
  shopt -s nullglob
  {
    # A stanza a paragraph: Types, URIs, Suites, Enabled.
    awk -v want="$codename" 'BEGIN { RS = ""; FS = "\n" }
      { t = u = s = e = ""
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^Types:/) t = " " substr($i, 7) " "
          if ($i ~ /^URIs:/) { u = substr($i, 6); sub(/^[ \t]+/, "", u); sub(/[ \t].*/, "", u) }
          if ($i ~ /^Suites:/) s = " " substr($i, 8) " "
          if ($i ~ /^Enabled:/) e = $i
        }
        if (t ~ /[ \t]deb[ \t]/ && e !~ /no/ && u != "" && s ~ ("[ \t]" want "[ \t]")) print u, want
      }' /etc/apt/sources.list.d/*.sources /dev/null
    # deb [options] URI SUITE COMPONENTS
    awk -v want="$codename" '$1 == "deb" {
        i = 2; if ($i ~ /^\[/) { while ($i !~ /\]$/) i++; i++ }
        if ($(i + 1) == want) print $i, want
      }' /etc/apt/sources.list /etc/apt/sources.list.d/*.list /dev/null 2>/dev/null
  } | head -n 1
}

read -r mirror suite < <(mirror_and_suite) || true
[ -n "${mirror:-}" ] && [ -n "${suite:-}" ] || fail "no Debian archive for this release in /etc/apt/sources.list{,.d}"
say "Debian $suite from $mirror (this machine's apt sources)"

# The pristine base: made once, kept while it runs and matches the sources.
# One run at a time makes or copies it.
mkdir -p "$cache"
exec 9>"$cache/lock"
flock 9
stamp="$mirror $suite minbase"
if [[ " $* " == *" --rebuild-base "* ]] || [ "$(cat "$base/.segdreport-base" 2>/dev/null)" != "$stamp" ] \
  || ! chroot "$base" /usr/bin/apt-get --version >/dev/null 2>&1; then
  say "making the minimal Debian in $base"
  rm -rf --one-file-system "$base" "$base.new"
  mkdir -p "$cache"
  debootstrap --variant=minbase "$suite" "$base.new" "$mirror" >"$cache/debootstrap.log" 2>&1 \
    || { tail -n 20 "$cache/debootstrap.log" >&2; rm -rf --one-file-system "$base.new"; fail "debootstrap"; }
  rm -rf --one-file-system "$base.new/var/cache/apt/archives"/*.deb
  echo "$stamp" >"$base.new/.segdreport-base"
  mv "$base.new" "$base"
fi
based=$(date +%s)
if [[ " $* " == *" --base-only "* ]]; then
  say "the minimal Debian is ready ($((based - started)) s)"
  exit 0
fi

run=$(mktemp -d "$cache/run.XXXXXX")
root=$run/root
mounts=()
cleanup() {
  local i
  for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
    umount -l "${mounts[i]}" 2>/dev/null || true
  done
  # Nothing of the host may remain mounted below the copy when it is removed.
  if grep -q " $run/" /proc/mounts; then
    echo "newcomer-check: still mounted below $run; left in place" >&2
  else
    rm -rf --one-file-system "$run"
  fi
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

cp -a "$base" "$root"
flock -u 9
cp -L /etc/resolv.conf "$root/etc/resolv.conf"
echo "deb $mirror $suite main" >"$root/etc/apt/sources.list"
mkdir -p "$cache/archives/partial"
for spec in "proc:$root/proc" "/dev:$root/dev" "/dev/pts:$root/dev/pts" "$cache/archives:$root/var/cache/apt/archives"; do
  source=${spec%%:*}
  target=${spec#*:}
  if [ "$source" = proc ]; then mount -t proc proc "$target"; else mount --bind "$source" "$target"; fi
  mounts+=("$target")
done

# A fresh clone of what is committed (not the working tree's edits).
git clone -q "$project" "$root/root/segdreport"
git -C "$root/root/segdreport" checkout -q --detach "$(git -C "$project" rev-parse HEAD)"

command=$(awk '/^## Set-up/ { inside = 1; next }
               inside && /^## / { exit }
               inside && /^```sh$/ { block = 1; next }
               block && /^```/ { exit }
               block { print }' "$root/root/segdreport/README.md")
[ -n "$command" ] || fail "no \`\`\`sh block under \"## Set-up\" in README.md"
printf '%s\n' "$command" >"$root/root/setup-command.sh"
say "running the README's first command in the chroot:"
printf '  %s\n' "$command"

set +e
chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb DEBIAN_FRONTEND=noninteractive LANG=C.UTF-8 \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  /bin/bash -c 'cd /root/segdreport && bash -e /root/setup-command.sh' >"$run/output" 2>&1
status=$?
set -e
finished=$(date +%s)
# The report's first lines: the record's file number and the recorder's software.
if [ "$status" != 0 ] || ! grep -q '^Recorder File  : [0-9]' "$run/output" \
  || ! grep -q '^Software Ver   : SN388' "$run/output"; then
  tail -n 40 "$run/output" >&2
  fail "the README's first command exited $status and did not print the sample report"
fi
grep -m 3 -E '^(Recorder File|Recorded|Software Ver)' "$run/output" | sed 's/\r$//; s/^/  /'
say "passed: base $((based - started)) s, command $((finished - based)) s, $((finished - started)) s in all"
