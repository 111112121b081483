# The native build and its whole test suite.
cmake --preset native >/dev/null
cmake --build --preset native -j"$(nproc)"
ctest --preset native -j"$(nproc)"
