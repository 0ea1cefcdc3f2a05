# Warnings on for every target of ours, and clean.
function(glimmerbox_warnings target)
  target_compile_options(${target} PRIVATE
    -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wsign-conversion
    -Wnon-virtual-dtor -Wold-style-cast -Wcast-align -Woverloaded-virtual
    -Wnull-dereference -Wimplicit-fallthrough
    $<$<BOOL:${GLIMMERBOX_WERROR}>:-Werror>)
endfunction()
