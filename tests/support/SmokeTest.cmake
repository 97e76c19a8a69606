# tressary_smoke_test(<test> <script> [DEMO <target> <source>... [LIBS <lib>...]]
#                     [PROGRAM <target>] [ARGS <arg>...] [TIMEOUT <seconds>])
# A smoke test: <script> (beside the calling CMakeLists.txt unless the path is
# absolute) starts an X server of its own and is given the file of the program it
# runs, then ARGS, or without them the build's installation folder. DEMO builds
# that program from its sources, linked to LIBS, Qt's test library, the
# header-only fakes and the modules (linked in: it may run anywhere); PROGRAM
# names one built before; without either it is the program itself. Without Qt
# there is no window to show, so no test.
function(tressary_smoke_test test script)
  if(NOT TRESSARY_WITH_QT)
    return()
  endif()
  cmake_parse_arguments(PARSE_ARGV 2 smoke "" "PROGRAM;TIMEOUT" "DEMO;LIBS;ARGS")
  if(smoke_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "tressary_smoke_test(${test}): unknown arguments ${smoke_UNPARSED_ARGUMENTS}")
  endif()
  set(program tressary)
  if(smoke_DEMO)
    list(POP_FRONT smoke_DEMO program)
    add_executable(${program} ${smoke_DEMO})
    target_link_libraries(${program} PRIVATE ${smoke_LIBS} tressary_linked_qt_modules tressary_test_fakes Qt6::Test)
    tressary_target(${program})
  elseif(smoke_PROGRAM)
    set(program ${smoke_PROGRAM})
  endif()
  if(NOT smoke_ARGS)
    set(smoke_ARGS ${TRESSARY_INSTALL_DIR})
  endif()
  if(NOT smoke_TIMEOUT)
    set(smoke_TIMEOUT 120)
  endif()
  cmake_path(ABSOLUTE_PATH script BASE_DIRECTORY ${CMAKE_CURRENT_SOURCE_DIR})
  add_test(NAME ${test} COMMAND ${script} $<TARGET_FILE:${program}> ${smoke_ARGS})
  set_tests_properties(${test} PROPERTIES TIMEOUT ${smoke_TIMEOUT})
endfunction()
