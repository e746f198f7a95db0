# shellcheck shell=bash
# Sourced by wine-run.sh and wine32-run.sh: gives a Wine prefix Wine's own fonts.
# They (MS Sans Serif, Tahoma, Marlett for the caption buttons...) come with Debian's fonts-wine
# in /usr/share/wine/fonts, where this Wine does not look for them; it does look in the prefix's
# Fonts folder. Without them dialogs are laid out in a wider font that cuts their labels.
#   wine_link_fonts PREFIX   (under the prefix's lock)
wine_link_fonts() {
  local fonts="$1/drive_c/windows/Fonts" font
  if [ -d /usr/share/wine/fonts ] && [ ! -e "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts"
    for font in /usr/share/wine/fonts/*; do
      [ -e "$fonts/${font##*/}" ] || ln -s "$font" "$fonts/"
    done
  fi
}
