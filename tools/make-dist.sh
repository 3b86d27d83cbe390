#!/bin/sh
# make dist: the release archive build/dist/Vellmora-<version>.zip, one
# folder Vellmora-<version>/ with both programs, the starter cloud.ini, the
# guide (pictures taken here from the real program under Wine and Xvfb), the
# licence and the changes. The same commit gives the same bytes: every time
# stamp is the commit's, the entries are in sorted order, the programs carry
# no link time and no build path.
# Usage: make-dist.sh BUILD-DIR   (with native, win32 and win64 built in it)
set -eu
repo=$(cd "$(dirname "$0")/.." && pwd)
B=$(cd "$1" && pwd)
version=$(sed -n 's/^project(Vellmora VERSION \([0-9.]*\).*/\1/p' "$repo/CMakeLists.txt")
[ -n "$version" ] || { echo "make-dist: no version in CMakeLists.txt" >&2; exit 1; }
: "${SOURCE_DATE_EPOCH:=$(git -C "$repo" log -1 --format=%ct 2>/dev/null || echo 315532800)}"
export TZ=UTC LC_ALL=C
name="Vellmora-$version"
dist="$B/dist"
stage="$dist/stage"
rm -rf "$stage" "$dist/$name.zip"
mkdir -p "$stage/$name"
dir="$stage/$name"

cp "$B/win32/src/win32/Vellmora.exe" "$dir/Vellmora.exe"
cp "$B/win64/src/win32/Vellmora.exe" "$dir/Vellmora64.exe"
"$B/native/distgen" ini > "$dir/cloud.ini"
"$B/native/distgen" keys > "$stage/keys.tsv"
sed 's/$/\r/' "$repo/docs/License.txt" > "$dir/License.txt"
sed "s/@VERSION@/$version/; s/\$/\r/" "$repo/docs/Changes.txt" > "$dir/Changes.txt"

# The pictures: taken once per run, from the 64-bit program on the demo.
sh "$repo/tools/dist-shots.sh" "$B/win64" "$stage/shots"
python3 "$repo/tools/make-guide.py" "$repo/docs/guide.html.in" "$version" "$stage/keys.tsv" \
  "$repo/docs/messages.txt" "$stage/shots" "$dir/Guide.html"

find "$dir" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
(cd "$stage" && find "$name" | sort | zip -X -q "$dist/$name.zip" -@)
echo "$dist/$name.zip"
