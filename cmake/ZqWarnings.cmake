# Warnings for the project's own targets, and the sanitizer switch that the test build turns on.
add_library(zq_build_flags INTERFACE)
target_compile_options(zq_build_flags INTERFACE -Wall -Wextra -Wno-unused-parameter)
if(ZQ_SANITIZE)
  target_compile_options(zq_build_flags INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(zq_build_flags INTERFACE -fsanitize=address,undefined)
endif()
