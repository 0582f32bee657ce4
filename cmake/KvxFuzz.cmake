# libFuzzer targets (clang only). The project's own code is built with coverage for the fuzzer
# and the address and undefined-behaviour sanitizers; each target runs from scripts/fuzz.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "KVX_FUZZ needs clang: configure with -DCMAKE_CXX_COMPILER=clang++")
endif()
set(KVX_FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
                   -fno-omit-frame-pointer)
target_compile_options(kvx_flags INTERFACE ${KVX_FUZZ_FLAGS} -fsanitize=fuzzer-no-link)
target_link_options(kvx_flags INTERFACE -fsanitize=address,undefined)

add_custom_target(kvx_fuzzers)

# kvx_add_fuzzer(NAME name SOURCES ... LIBS ... CORPUS folder): one fuzz target whose
# LLVMFuzzerTestOneInput is in SOURCES, with its committed seed corpus (relative to the calling
# folder). scripts/fuzz builds and runs every target declared this way.
function(kvx_add_fuzzer)
  cmake_parse_arguments(F "" "NAME;CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${F_NAME} ${F_SOURCES})
  target_link_libraries(${F_NAME} PRIVATE kvx_flags ${F_LIBS})
  target_include_directories(${F_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz)
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  add_dependencies(kvx_fuzzers ${F_NAME})
  get_filename_component(corpus ${F_CORPUS} ABSOLUTE BASE_DIR ${CMAKE_CURRENT_SOURCE_DIR})
  set_property(GLOBAL APPEND PROPERTY KVX_FUZZER_LIST "${F_NAME} ${corpus}")
endfunction()

# The list scripts/fuzz reads, one "name corpus" per line, written once every folder is read.
function(kvx_write_fuzzer_list)
  get_property(list GLOBAL PROPERTY KVX_FUZZER_LIST)
  list(JOIN list "\n" text)
  file(WRITE ${PROJECT_BINARY_DIR}/fuzzers.txt "${text}\n")
endfunction()
cmake_language(DEFER DIRECTORY ${PROJECT_SOURCE_DIR} CALL kvx_write_fuzzer_list)
