# Helpers shared by every folder's CMakeLists.txt.

# GCC 12 reports false stringop-overflow errors on inlined vector copies.
set(TRESSARY_WARNINGS -Wall -Wextra)
if(TRESSARY_WERROR)
  list(APPEND TRESSARY_WARNINGS -Werror -Wno-error=deprecated-declarations)
endif()
list(APPEND TRESSARY_WARNINGS $<$<CXX_COMPILER_ID:GNU>:-Wno-stringop-overflow>)
set(TRESSARY_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
# The fuzz build instruments everything the targets link, not only the targets,
# so that coverage guides the fuzzer through the parsers themselves.
set(TRESSARY_FUZZ_FLAGS -fsanitize=fuzzer-no-link ${TRESSARY_SANITIZER_FLAGS})

# Compile options of our own code (not of third-party headers).
function(tressary_target target)
  target_compile_options(${target} PRIVATE ${TRESSARY_WARNINGS})
  if(TRESSARY_FUZZ)
    target_compile_options(${target} PRIVATE ${TRESSARY_FUZZ_FLAGS})
    target_link_options(${target} PRIVATE ${TRESSARY_SANITIZER_FLAGS})
  elseif(TRESSARY_SANITIZE)
    target_compile_options(${target} PRIVATE ${TRESSARY_SANITIZER_FLAGS})
    target_link_options(${target} PRIVATE ${TRESSARY_SANITIZER_FLAGS})
  elseif(TRESSARY_THREAD_SANITIZE)
    target_compile_options(${target} PRIVATE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=thread)
  endif()
endfunction()

# A subsystem folder: a Qt-free library of its *.cpp files, and a "_forms" library
# of forms/*.cpp that may link Qt. Extra arguments: LIBS (for the Qt-free part),
# FORMS_LIBS (for the forms part).
function(tressary_subsystem name)
  cmake_parse_arguments(ARG "" "" "LIBS;FORMS_LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_library(${name} STATIC ${sources})
    set_target_properties(${name} PROPERTIES AUTOMOC OFF)
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_LIBS})
    tressary_target(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} INTERFACE ${ARG_LIBS})
  endif()
  if(TRESSARY_WITH_QT)
    file(GLOB form_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/forms/*.cpp)
    if(form_sources)
      add_library(${name}_forms STATIC ${form_sources})
      target_link_libraries(${name}_forms PUBLIC ${name} ${ARG_FORMS_LIBS})
      tressary_target(${name}_forms)
    else()
      add_library(${name}_forms INTERFACE)
      target_link_libraries(${name}_forms INTERFACE ${name} ${ARG_FORMS_LIBS})
    endif()
  endif()
endfunction()

# One test executable of every *.cpp in the calling folder (and forms/*.cpp,
# with an offscreen Qt platform, when Qt is built). LIBS / FORMS_LIBS as above.
function(tressary_tests name)
  cmake_parse_arguments(ARG "" "" "LIBS;FORMS_LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(sources)
    add_executable(${name} ${sources})
    # A suite reaches its own headers from its folder and shared ones as "support/...".
    target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} tressary_test_support GTest::gtest GTest::gmock GTest::gtest_main)
    tressary_target(${name})
    # The source and build folders are compiled into the test support library:
    # gtest_discover_tests splits a list-valued ENVIRONMENT into separate properties.
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
  if(TRESSARY_WITH_QT)
    file(GLOB form_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/forms/*.cpp)
    if(form_sources)
      add_executable(${name}_forms ${form_sources})
      target_include_directories(${name}_forms PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
      target_link_libraries(${name}_forms PRIVATE ${ARG_FORMS_LIBS} tressary_test_support tressary_qt_test_main GTest::gtest GTest::gmock)
      tressary_target(${name}_forms)
      gtest_discover_tests(${name}_forms DISCOVERY_TIMEOUT 60 PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
    endif()
  endif()
endfunction()

# A libFuzzer target: tests/fuzz/NAME.cpp defines LLVMFuzzerTestOneInput; its
# seed corpus is tests/fuzz/corpus/NAME/. Without TRESSARY_FUZZ the same code is
# linked with a replay main and run over the corpus as an ordinary test.
function(tressary_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  if(TRESSARY_FUZZ)
    add_executable(fuzz_${name} ${name}.cpp)
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    add_dependencies(fuzz_targets fuzz_${name})
  else()
    add_executable(fuzz_${name} ${name}.cpp replay_main.cpp)
    add_test(NAME fuzz_corpus.${name} COMMAND fuzz_${name} ${corpus})
  endif()
  target_link_libraries(fuzz_${name} PRIVATE ${ARG_LIBS})
  tressary_target(fuzz_${name})
endfunction()

# A benchmark executable of bench/NAME.cpp.
function(tressary_benchmark name)
  cmake_parse_arguments(ARG "" "" "LIBS" ${ARGN})
  add_executable(bench_${name} ${name}.cpp)
  # Benchmarks may drive code through the tests' header-only fakes.
  target_link_libraries(bench_${name} PRIVATE ${ARG_LIBS} tressary_test_fakes benchmark::benchmark
    benchmark::benchmark_main)
  tressary_target(bench_${name})
endfunction()

# Runs the content generator `tool` at build time (offscreen Qt), drawing into the
# installation folder: `tool` <installation> ARGS... It runs again when the tool
# or one of DEPENDS changes; the target OUTPUT_TARGET builds by default.
function(tressary_content_generator tool)
  cmake_parse_arguments(ARG "" "OUTPUT_TARGET;COMMENT" "ARGS;DEPENDS" ${ARGN})
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${ARG_OUTPUT_TARGET}.stamp)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen $<TARGET_FILE:${tool}> ${TRESSARY_INSTALL_DIR} ${ARG_ARGS}
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${tool} ${ARG_DEPENDS}
    COMMENT ${ARG_COMMENT})
  add_custom_target(${ARG_OUTPUT_TARGET} ALL DEPENDS ${stamp})
endfunction()

# AUTOMOC's timestamp rule does not depend on its target's list of sources, so
# a window added to a globbed folder would not be moc'ed until some other file
# of the target changed. Forget the timestamp of every moc'ed target whose sources
# changed since the last configure; called once, at the end of the top folder.
function(tressary_autogen_follows_sources)
  set(folders ${CMAKE_SOURCE_DIR})
  while(folders)
    list(POP_FRONT folders folder)
    get_property(children DIRECTORY ${folder} PROPERTY SUBDIRECTORIES)
    list(APPEND folders ${children})
    get_property(targets DIRECTORY ${folder} PROPERTY BUILDSYSTEM_TARGETS)
    foreach(target IN LISTS targets)
      get_target_property(automoc ${target} AUTOMOC)
      if(NOT automoc)
        continue()
      endif()
      get_target_property(sources ${target} SOURCES)
      get_target_property(binary ${target} BINARY_DIR)
      set(record ${CMAKE_BINARY_DIR}/CMakeFiles/autogen-sources/${target}.txt)
      set(recorded "")
      if(EXISTS ${record})
        file(READ ${record} recorded)
      endif()
      if(NOT recorded STREQUAL "${sources}")
        file(WRITE ${record} "${sources}")
        file(REMOVE ${binary}/${target}_autogen/timestamp)
      endif()
    endforeach()
  endwhile()
endfunction()

# A module (see src/platform/Module.h): SOURCES built twice, as the shared
# object libtressary-NAME.so beside the program, which loads it on first use,
# and as the static library module_NAME that tests and tools link in whole
# (through tressary_linked_modules / tressary_linked_qt_modules). QT: a module
# that needs Qt. LIBS: the libraries the service wraps.
function(tressary_module name)
  cmake_parse_arguments(ARG "QT" "" "SOURCES;LIBS" ${ARGN})
  set(variants module_${name})
  if(TRESSARY_WITH_QT OR NOT ARG_QT)
    add_library(module_${name} STATIC ${ARG_SOURCES})
  endif()
  if(TRESSARY_WITH_QT)
    add_library(tressary-${name} MODULE ${ARG_SOURCES})
    set_target_properties(tressary-${name} PROPERTIES LIBRARY_OUTPUT_DIRECTORY ${TRESSARY_INSTALL_DIR}
      CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
    list(APPEND variants tressary-${name})
    add_dependencies(tressary_modules tressary-${name})
  endif()
  foreach(target IN LISTS variants)
    if(TARGET ${target})
      target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/src)
      tressary_target(${target})
    endif()
  endforeach()
  if(TARGET tressary-${name})
    target_link_libraries(tressary-${name} PRIVATE ${ARG_LIBS})
  endif()
  if(TARGET module_${name})
    # The service's own headers reach its libraries' types (a Qt class, say).
    target_link_libraries(module_${name} PUBLIC ${ARG_LIBS})
    if(ARG_QT)
      target_link_libraries(tressary_linked_qt_modules INTERFACE "$<LINK_LIBRARY:WHOLE_ARCHIVE,module_${name}>")
    else()
      target_link_libraries(tressary_linked_modules INTERFACE "$<LINK_LIBRARY:WHOLE_ARCHIVE,module_${name}>")
    endif()
  endif()
endfunction()
