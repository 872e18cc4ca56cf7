#!/usr/bin/env bash
# Publishes a demo update for an installation folder, so that its Fetchwell
# finds a newer version on the demo update server:
#
#   bash tools/demo/publish-demo-update.sh INSTALL_DIR UPDATE_FOLDER [--port PORT] [--version X.Y.Z] [FILE...]
#
# UPDATE_FOLDER gets update.xml and files/ with the installation's programs
# (TolvanClient, MerivoSiteSystem, Fetchwell, those present) plus any further
# FILEs named relative to INSTALL_DIR, each with its md5. The version is
# INSTALL_DIR's configure.ini version (4.4.0 when it has none) with its last
# number raised by one, unless --version names one. INSTALL_DIR's configure.ini
# gets [LinkInfo] updatexmlurl pointing at the server, which is then started as
#
#   tolvan-demo --update-folder UPDATE_FOLDER --update-port PORT   (default 40080)
set -euo pipefail

usage() { echo "usage: publish-demo-update.sh INSTALL_DIR UPDATE_FOLDER [--port PORT] [--version X.Y.Z] [FILE...]" >&2; exit 2; }
[ $# -ge 2 ] || usage
install_dir=$(cd "$1" && pwd)
update_folder=$2
shift 2
port=40080
version=
files=()
while [ $# -gt 0 ]; do
  case $1 in
    --port) port=${2:?}; shift 2 ;;
    --version) version=${2:?}; shift 2 ;;
    -*) usage ;;
    *) files+=("$1"); shift ;;
  esac
done

ini=$install_dir/configure.ini
installed=$( [ -f "$ini" ] && sed -n 's/^[Vv][Ee][Rr][Ss][Ii][Oo][Nn]=\(.*\)$/\1/p' "$ini" | tr -d '\r' | head -1 || true)
if [ -z "$version" ]; then
  base=${installed:-4.4.0}
  if [[ $base =~ ^(.*[^0-9])?([0-9]+)$ ]]; then
    version="${BASH_REMATCH[1]}$((BASH_REMATCH[2] + 1))"
  else
    version="$base.1"
  fi
fi
IFS=. read -r major minor small <<< "$version"

programs=()
for program in TolvanClient MerivoSiteSystem Fetchwell; do
  [ -f "$install_dir/$program" ] && programs+=("$program")
done
files=("${programs[@]}" "${files[@]}")
[ ${#files[@]} -gt 0 ] || { echo "publish-demo-update: nothing to publish in $install_dir" >&2; exit 1; }

mkdir -p "$update_folder/files"
server="http://127.0.0.1:$port"
{
  echo '<?xml version="1.0" encoding="UTF-8"?>'
  echo '<update>'
  echo "  <version majorversion=\"$major\" minorversion=\"$minor\" smallversion=\"$small\" platform=\"linux\"/>"
  echo '  <files>'
  for name in "${files[@]}"; do
    mkdir -p "$(dirname "$update_folder/files/$name")"
    cp "$install_dir/$name" "$update_folder/files/$name"
    md5=$(md5sum "$install_dir/$name" | cut -d' ' -f1)
    echo "    <file url=\"$server/files/$name\" name=\"$name\" postfix=\"\" status=\"1\" storagelocation=\"\" md5=\"$md5\"/>"
  done
  echo '  </files>'
  echo '</update>'
} > "$update_folder/update.xml.tmp"
mv "$update_folder/update.xml.tmp" "$update_folder/update.xml"

# Point the installation at the server: updatexmlurl right under [LinkInfo]
# (any earlier value dropped), every other line kept.
url="$server/update.xml"
touch "$ini"
awk -v url="$url" '
  /^\[/ {
    inLink = tolower($0) ~ /^\[linkinfo\][ \t\r]*$/
    print
    if (inLink && !done) { print "updatexmlurl=" url; done = 1 }
    next
  }
  inLink && tolower($0) ~ /^updatexmlurl[ \t]*=/ { next }
  { print }
  END { if (!done) { print "[LinkInfo]"; print "updatexmlurl=" url } }
' "$ini" > "$ini.tmp"
mv "$ini.tmp" "$ini"

echo "publish-demo-update: version ${installed:-(none)} -> $version, ${#files[@]} files in $update_folder"
echo "publish-demo-update: serve it with: tolvan-demo --update-folder $update_folder --update-port $port"
