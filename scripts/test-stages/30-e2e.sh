# wayfold.exe end to end: a test program starts the real program in a private Wine session
# (its own Xvfb display and prefix, removed afterwards) and works it like a user.
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)" --target wayfold wayfold_e2e_test
# Links to devices that fail on reading and on writing, for the read-error and disk-full cases.
bash scripts/wine-session.sh bash -c '
  links="$WINE_SESSION_DIR/links"
  mkdir -p "$links"
  ln -s /proc/self/mem "$links/unreadable.gpx"
  ln -s /dev/full "$links/full.csv"
  WAYFOLD_E2E_LINKS="$links" wine build/windows/app/wayfold_e2e_test.exe
'
