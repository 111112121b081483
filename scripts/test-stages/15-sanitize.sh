# The whole native test suite again, built with AddressSanitizer and
# UndefinedBehaviorSanitizer (any report ends the test program with a failure).
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j"$(nproc)"
ctest --preset sanitize -j"$(nproc)"
