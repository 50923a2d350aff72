# One interface target carries the language level, warnings and sanitizer
# flags for every target of the project, instead of global flags.
add_library(sinkview_options INTERFACE)
target_compile_features(sinkview_options INTERFACE cxx_std_20)
set_target_properties(sinkview_options PROPERTIES INTERFACE_CXX_EXTENSIONS OFF)
target_compile_options(sinkview_options INTERFACE -Wall -Wextra -Wpedantic)

if(SINKVIEW_SANITIZE)
  target_compile_options(sinkview_options INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  target_link_options(sinkview_options INTERFACE -fsanitize=address,undefined)
endif()

if(SINKVIEW_SANITIZE_THREAD)
  target_compile_options(sinkview_options INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
  target_link_options(sinkview_options INTERFACE -fsanitize=thread)
endif()

# Counters for gcovr; without optimisation, so that lines and branches stay
# those of the source.
if(SINKVIEW_COVERAGE)
  # Atomic counters: the exporter, the study and the atomic writer run threads,
  # whose racing updates would leave counts gcov cannot read.
  target_compile_options(sinkview_options INTERFACE --coverage -fprofile-update=atomic -O0)
  target_link_options(sinkview_options INTERFACE --coverage)
endif()

# Coverage feedback for the fuzzer must come from all of the code it reaches,
# not only from the harness.
if(SINKVIEW_BUILD_FUZZERS)
  target_compile_options(sinkview_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

set(CMAKE_CXX_EXTENSIONS OFF)
