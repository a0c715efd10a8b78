# SPDX-License-Identifier: MIT
# Warnings for the project's own targets: x10_enable_warnings(<target>)
function(x10_enable_warnings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                           -Wno-sign-conversion)
  endif()
endfunction()
