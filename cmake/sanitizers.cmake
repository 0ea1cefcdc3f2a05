# The test build runs every test under AddressSanitizer and
# UndefinedBehaviorSanitizer; any report fails the test.
if(GLIMMERBOX_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# ThreadSanitizer cannot share a build with AddressSanitizer: the tsan
# preset builds the tests of the code that runs on several threads (jobs,
# ordered work, search, export) on their own (scripts/tsan.sh).
if(GLIMMERBOX_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

# The fuzz build instruments everything for coverage; only the fuzz targets
# link libFuzzer's main.
if(GLIMMERBOX_FUZZ)
  # A report of undefined behaviour ends the run like a crash: a fuzzer
  # that recovers would sail past it.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()
