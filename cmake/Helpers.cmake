# lmo_add_test(NAME <name> SOURCES <files...> LIBS <libs...>)
# One GoogleTest executable per subsystem; its tests are registered with CTest
# when ctest runs (no test binary runs at build time).
function(lmo_add_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  target_compile_definitions(${T_NAME} PRIVATE
    LMO_SOURCE_DIR="${CMAKE_SOURCE_DIR}" LMO_CORPUS_DIR="${CMAKE_SOURCE_DIR}/../shared/corpus")
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  include(GoogleTest)
  gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
    PROPERTIES ENVIRONMENT "LMO_DATA_DIR=${CMAKE_BINARY_DIR}/bin/Data")
endfunction()

# lmo_add_fuzzer(NAME <name> SOURCES <files...> LIBS <libs...>)
function(lmo_add_fuzzer)
  cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${F_NAME} ${F_SOURCES})
  target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
  target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${F_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  add_dependencies(lmo_fuzzers ${F_NAME})
endfunction()

# lmo_add_bench(NAME <name> SOURCES <files...> LIBS <libs...>)
function(lmo_add_bench)
  cmake_parse_arguments(B "" "NAME" "SOURCES;LIBS" ${ARGN})
  add_executable(${B_NAME} ${B_SOURCES})
  target_link_libraries(${B_NAME} PRIVATE ${B_LIBS} benchmark::benchmark)
  set_target_properties(${B_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()
