# Every compiler flag and Qt define the project uses lives on this one interface target.
add_library(kvx_flags INTERFACE)
target_compile_features(kvx_flags INTERFACE cxx_std_20)
target_compile_options(kvx_flags INTERFACE
  -Wall -Wextra -Wpedantic -Wold-style-cast -Werror)
target_compile_definitions(kvx_flags INTERFACE
  _GLIBCXX_ASSERTIONS
  QT_NO_CAST_FROM_ASCII
  QT_NO_CAST_TO_ASCII
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_FOREACH)
if(KVX_SANITIZE)
  target_compile_options(kvx_flags INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                             -fno-sanitize-recover=undefined)
  target_link_options(kvx_flags INTERFACE -fsanitize=address,undefined)
endif()

# Tests may write plain string literals; everything else is the same.
add_library(kvx_test_flags INTERFACE)
target_compile_features(kvx_test_flags INTERFACE cxx_std_20)
target_compile_options(kvx_test_flags INTERFACE -Wall -Wextra -Wpedantic -Wold-style-cast -Werror)
target_compile_definitions(kvx_test_flags INTERFACE _GLIBCXX_ASSERTIONS QT_NO_FOREACH)
if(KVX_SANITIZE)
  target_compile_options(kvx_test_flags INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer
                                                  -fno-sanitize-recover=undefined)
  target_link_options(kvx_test_flags INTERFACE -fsanitize=address,undefined)
endif()

# kvx_add_test(NAME name SOURCES ... LIBS ...): one executable per test file group, run by ctest.
function(kvx_add_test)
  cmake_parse_arguments(T "QT" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE kvx_test_flags ${T_LIBS})
  if(T_QT)
    set_target_properties(${T_NAME} PROPERTIES AUTOMOC ON)
  else()
    target_link_libraries(${T_NAME} PRIVATE GTest::gtest GTest::gtest_main GTest::gmock)
  endif()
  target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_test(NAME ${T_NAME} COMMAND ${T_NAME})
  set_tests_properties(${T_NAME} PROPERTIES ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;KVX_SOURCE_DIR=${PROJECT_SOURCE_DIR};KVX_BUILD_DIR=${PROJECT_BINARY_DIR}"
    TIMEOUT 300)
endfunction()
