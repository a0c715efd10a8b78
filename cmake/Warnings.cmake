# SPDX-FileCopyrightText: 2026 The X10 Test Console authors
# SPDX-License-Identifier: MIT
# Warnings for the project's own targets: x10_enable_warnings(<target>)
function(x10_enable_warnings target)
  if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wconversion
                           -Wno-sign-conversion)
  endif()
endfunction()

# g++ 12's optimiser reports out-of-bounds (-Warray-bounds) and overlapping (-Wrestrict)
# copies inside libstdc++'s own std::vector and std::string code, inlined into ours, that cannot
# happen: known false positives of that compiler in optimised builds.
# x10_quiet_gcc12_false_positives(<sources...>) silences exactly those two in the source files
# of the calling folder where they arise, for g++ 12 and the optimised configurations only;
# anywhere else, and with any other compiler, they still show.
function(x10_quiet_gcc12_false_positives)
  set(gcc12 $<AND:$<CXX_COMPILER_ID:GNU>,$<VERSION_GREATER_EQUAL:$<CXX_COMPILER_VERSION>,12>,$<VERSION_LESS:$<CXX_COMPILER_VERSION>,13>>)
  set(optimised $<NOT:$<CONFIG:Debug>>)
  set_property(SOURCE ${ARGN} APPEND PROPERTY COMPILE_OPTIONS
               "$<$<AND:${gcc12},${optimised}>:-Wno-array-bounds;-Wno-restrict>")
endfunction()
