find_package(GTest REQUIRED)

# Test media made by tools/make-fixtures.sh with the ffmpeg CLI, cached in the build folder.
set(KIVO_FIXTURE_DIR ${CMAKE_BINARY_DIR}/fixtures)

# kivo_test(NAME SOURCES... LIBS lib... [MEDIA] [PARSER] [THREADS]) — one GoogleTest executable
# registered with CTest. MEDIA makes the test depend on the fixture generator and passes the
# fixture folder in KIVO_FIXTURES; PARSER marks tests of readers of outside data and THREADS tests
# of code that runs threads of its own (the sanitizer runs choose them by these labels).
function(kivo_test name)
  cmake_parse_arguments(ARG "MEDIA;PARSER;THREADS" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main kivo_warnings)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  set(labels unit)
  if(ARG_PARSER)
    list(APPEND labels parser)
  endif()
  if(ARG_THREADS)
    list(APPEND labels threads)
  endif()
  if(ARG_MEDIA)
    list(APPEND labels media)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED media_fixtures
                         ENVIRONMENT "KIVO_FIXTURES=${KIVO_FIXTURE_DIR}")
  endif()
  set_tests_properties(${name} PROPERTIES LABELS "${labels}")
endfunction()

# kivo_qttest(NAME SOURCES... LIBS lib... [CORE] [MEDIA]) — a QtTest executable for a window or
# widget, run on the offscreen platform. CORE makes it a test of Qt Core code instead: no
# widgets, no platform, labelled like the GoogleTest units.
function(kivo_qttest name)
  cmake_parse_arguments(ARG "CORE;MEDIA" "" "SOURCES;LIBS" ${ARGN})
  find_package(Qt6 REQUIRED COMPONENTS Test)
  add_executable(${name} ${ARG_SOURCES})
  set_target_properties(${name} PROPERTIES AUTOMOC ON)
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} Qt6::Test kivo_warnings)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${name} COMMAND ${name})
  if(ARG_CORE)
    set(env "")
    set(labels unit)
  else()
    find_package(Qt6 REQUIRED COMPONENTS Widgets)
    target_link_libraries(${name} PRIVATE Qt6::Widgets)
    set(env "QT_QPA_PLATFORM=offscreen")
    set(labels widget)
  endif()
  if(ARG_MEDIA)
    list(APPEND env "KIVO_FIXTURES=${KIVO_FIXTURE_DIR}")
    list(APPEND labels media)
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED media_fixtures)
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" LABELS "${labels}")
endfunction()
