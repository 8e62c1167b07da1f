#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# uninstall.sh MANIFEST [DESTDIR]: removes the files the last `make install`
# wrote. CMake's manifest lists them without the DESTDIR they went to, so
# `make install` keeps that DESTDIR beside the manifest; a DESTDIR that does
# not match it is refused rather than guessed, and the list is kept until
# every file on it is gone.
set -euo pipefail

manifest=$1
requested=${2:-}
recorded_file=$(dirname "$manifest")/install_destdir.txt

if [ ! -f "$manifest" ]; then
  echo "zarnik: nothing to uninstall: no install is recorded in $(dirname "$manifest")/"
  exit 0
fi

recorded=$(cat "$recorded_file" 2>/dev/null || true)
if [ -n "$requested" ]; then
  requested=$(realpath -m "$requested")
fi
if [ "$requested" != "$recorded" ]; then
  if [ -z "$recorded" ]; then
    echo "zarnik: the last install went to the system, not to DESTDIR=$requested; nothing removed (run 'make uninstall' without DESTDIR)" >&2
  else
    echo "zarnik: the last install was staged in DESTDIR=$recorded; nothing removed (run 'make uninstall DESTDIR=$recorded')" >&2
  fi
  exit 1
fi

failed=0
while IFS= read -r path || [ -n "$path" ]; do
  [ -n "$path" ] || continue
  file=$recorded$path
  if [ ! -e "$file" ] && [ ! -L "$file" ]; then
    echo "-- Already gone: $file"
  elif rm -f -- "$file"; then
    echo "-- Removed: $file"
    # A staging folder is ours alone: the folders the install made in it go
    # too, once empty (the staging folder itself stays).
    dir=$(dirname "$file")
    while [ -n "$recorded" ] && [ "$dir" != "$recorded" ] && rmdir -- "$dir" 2>/dev/null; do
      dir=$(dirname "$dir")
    done
  else
    failed=1
  fi
done <"$manifest"

if [ "$failed" -ne 0 ]; then
  echo "zarnik: some files could not be removed; $manifest is kept" >&2
  exit 1
fi
rm -f -- "$manifest" "$recorded_file"
