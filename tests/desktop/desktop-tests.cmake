# The desktop entry, the metainfo and the file type checked with the desktop's own tools, and an
# installation into a temporary prefix started from another directory (tests/desktop/checks.sh).
foreach(check entry metainfo mime install)
  if(check STREQUAL "install")
    set(name install)
  else()
    set(name desktop_${check})
  endif()
  add_test(NAME ${name} COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/checks.sh ${check} ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${KADRO_TEST_ENV}" TIMEOUT 300)
endforeach()
