# Warnings on for our own targets, the same set with every compiler we use (C++ sources only:
# a target may also hold a resource script).
function(wayfold_warnings target)
  set(flags -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion)
  if(WAYFOLD_WERROR)
    list(APPEND flags -Werror)
  endif()
  target_compile_options(${target} PRIVATE "$<$<COMPILE_LANGUAGE:CXX>:${flags}>")
endfunction()
