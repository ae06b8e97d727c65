# Compile settings shared by the project's targets.

# Plug-in code: C++17, no exceptions, no RTTI, nothing visible but what is exported on purpose,
# and `operator new` results never assumed non-null.
add_library(quor_plugin_flags INTERFACE)
target_compile_features(quor_plugin_flags INTERFACE cxx_std_17)
target_compile_options(quor_plugin_flags INTERFACE
  -fno-exceptions -fno-rtti -ffp-contract=off -fvisibility=hidden -fvisibility-inlines-hidden
  -Wall -Wextra -Wpedantic -Werror -Wshadow -Wconversion -Wno-sign-conversion
  $<$<CXX_COMPILER_ID:GNU>:-fcheck-new>
  $<$<CXX_COMPILER_ID:GNU>:-fno-sanitize=vptr>
  $<$<CXX_COMPILER_ID:Clang>:-fno-sanitize=vptr>)
set_target_properties(quor_plugin_flags PROPERTIES INTERFACE_CXX_EXTENSIONS OFF)

# Host, tests, tools: C++20 with the usual warnings as errors.
add_library(quor_host_flags INTERFACE)
target_compile_features(quor_host_flags INTERFACE cxx_std_20)
target_compile_options(quor_host_flags INTERFACE -Wall -Wextra -Werror)

# quor_generation_define(<target> <value>): selects the host SDK generation of a target.
function(quor_generation_define target value)
  target_compile_definitions(${target} PUBLIC QUOR_GENERATION=${value})
endfunction()
