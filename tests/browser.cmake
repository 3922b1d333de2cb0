# Browser tests: the page of `gramora serve` in Debian's chromium, driven by playwright-core (npm,
# pinned in tests/browser/package-lock.json; both installed by `make deps`). The sanitizer build
# leaves them out: the server's API tests run there, and the page would only be slower.
if(GRAMORA_SANITIZE OR GRAMORA_TSAN)
  message(STATUS "browser tests skipped in the sanitizer build")
  return()
endif()

find_program(GRAMORA_NODE NAMES node nodejs)

# gramora_browser_test(NAME [TIMEOUT]): tests/browser/NAME.test.mjs against the built gramora.
function(gramora_browser_test name)
  set(timeout 300)
  if(ARGC GREATER 1)
    set(timeout ${ARGV1})
  endif()
  add_test(NAME browser_${name}
    COMMAND ${GRAMORA_NODE} ${CMAKE_CURRENT_SOURCE_DIR}/browser/${name}.test.mjs
            --gramora ${CMAKE_BINARY_DIR}/bin/gramora --out ${CMAKE_CURRENT_BINARY_DIR}/browser/${name}
            --data ${CMAKE_CURRENT_SOURCE_DIR}/data)
  set_tests_properties(browser_${name} PROPERTIES LABELS browser TIMEOUT ${timeout})
endfunction()

gramora_browser_test(default_scene)  # mower panel, frame slider, render, the docs screenshot
gramora_browser_test(blade)          # spinners and edit fields, a drag in the top view
gramora_browser_test(bundle)         # "Max height?" enables its field through the panel procedure
gramora_browser_test(lawn 900)      # rollout swap, vector-field dialog, a dragged lawn, the 200 x 200 timing
