#!/usr/bin/env bash
# copy_fonts.sh -- copies the three free fonts the game writes with into data/Files/Common,
# under the file names the game loads, each with its licence text beside it.
# Needs the Debian packages fonts-open-sans, fonts-bebas-neue and fonts-dotgothic16.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
dest="${1:-$here/../data/Files/Common}"
mkdir -p "$dest"

# Finds a font file of a Debian package by its base name; fails loudly when absent.
find_font() {
  local package="$1" base="$2" path
  path="$(dpkg -L "$package" 2>/dev/null | grep -E "/${base}\$" | head -n 1 || true)"
  if [ -z "$path" ] || [ ! -f "$path" ]; then
    echo "copy_fonts.sh: $base not found; install the Debian package $package" >&2
    exit 1
  fi
  printf '%s\n' "$path"
}

# Copies one font and writes its licence file: the package's copyright notice,
# followed by the full licence text when the notice only names it.
copy_font() {
  local package="$1" base="$2" target="$3" licence_name="$4"
  local source licence
  source="$(find_font "$package" "$base")"
  cp "$source" "$dest/$target"
  licence="$dest/$licence_name"
  {
    echo "$target is $base from the Debian package $package, unchanged."
    echo
    cat "/usr/share/doc/$package/copyright"
    if grep -q "Apache-2.0" "/usr/share/doc/$package/copyright" && [ -f /usr/share/common-licenses/Apache-2.0 ]; then
      echo
      echo "-----------------------------------------------------------"
      echo "Full text of the Apache License, Version 2.0:"
      echo
      cat /usr/share/common-licenses/Apache-2.0
    fi
  } > "$licence"
  echo "copied $base -> $target"
}

copy_font fonts-open-sans   OpenSans-Semibold.ttf     "SVBasicManual.ttf"        "SVBasicManual-LICENSE.txt"
copy_font fonts-bebas-neue  BebasNeue-Regular.otf     "Blue Highway.ttf"         "Blue Highway-LICENSE.txt"
copy_font fonts-dotgothic16 DotGothic16-Regular.ttf   "Acknowledge TT QYV.ttf"   "Acknowledge TT QYV-LICENSE.txt"
