# The test build runs every test under AddressSanitizer and
# UndefinedBehaviorSanitizer; any report fails the test.
if(GLIMMERBOX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# The fuzz build instruments everything for coverage; only the fuzz targets
# link libFuzzer's main.
if(GLIMMERBOX_FUZZ)
  # A report of undefined behaviour ends the run like a crash: a fuzzer
  # that recovers would sail past it.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
