# Labels for the tests gtest_discover_tests finds when the tests run: its
# PROPERTIES keep only the first item of a list, so a test program with
# more than one label has them set by a script of its own, which ctest runs
# after the one that lists the program's tests.
function(zorvik_label_discovered_tests target)
  set(script ${CMAKE_CURRENT_BINARY_DIR}/${target}_labels.cmake)
  file(WRITE ${script} "if(${target}_TESTS)\n"
                       "  set_tests_properties(\${${target}_TESTS} PROPERTIES LABELS \"${ARGN}\")\n"
                       "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${script})
endfunction()
