# Warnings on for our own targets, the same set with every compiler we use.
function(wayfold_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion)
  if(WAYFOLD_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
