# The Windows build (MinGW-w64) and its whole test suite as Windows programs, run under Wine
# in a private session: its own prefix and Xvfb display, removed afterwards.
cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)"
bash scripts/wine-session.sh ctest --preset windows -j"$(nproc)"
