# Each layer is one library built from every source file in its folder, so adding a file
# never means editing a shared list. The core layers see only the standard library: their
# include path holds no Qt folder, so a Qt include there fails to compile.

# A layer whose folder holds no source yet still builds, from one empty file.
macro(cvh_nonempty var)
    if(NOT ${var})
        set(_empty "${CMAKE_CURRENT_BINARY_DIR}/empty_layer.cpp")
        file(WRITE "${_empty}" "// this layer has no sources yet\n")
        set(${var} "${_empty}")
    endif()
endmacro()

# FACTS_ONLY marks a layer that reports facts in the domain's own types (link, config, files):
# its sources compile with CVH_CORE_FACTS_ONLY, and every presentation header (colours,
# captions, the views the console copies) stops the build with #error when included there.
function(cvh_core_library name)
    cmake_parse_arguments(ARG "FACTS_ONLY" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    cvh_nonempty(sources)
    add_library(cvh_${name} STATIC ${sources})
    target_include_directories(cvh_${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(cvh_${name} PUBLIC ${ARG_DEPS})
    if(ARG_FACTS_ONLY)
        target_compile_definitions(cvh_${name} PRIVATE CVH_CORE_FACTS_ONLY)
    endif()
endfunction()

function(cvh_qt_library name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp"
         "${CMAKE_CURRENT_SOURCE_DIR}/*.h")
    cvh_nonempty(sources)
    add_library(cvh_${name} STATIC ${sources})
    set_target_properties(cvh_${name} PROPERTIES AUTOMOC ON)
    target_include_directories(cvh_${name} PUBLIC "${PROJECT_SOURCE_DIR}/src")
    target_link_libraries(cvh_${name} PUBLIC ${ARG_DEPS})
endfunction()

# One GoogleTest executable per test folder, every .cpp in it.
function(cvh_gtest_folder name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS "${CMAKE_CURRENT_SOURCE_DIR}/*.cpp")
    if(NOT sources)
        return()
    endif()
    add_executable(${name}_tests ${sources})
    target_link_libraries(${name}_tests PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock
                          GTest::gtest_main)
    target_include_directories(${name}_tests PRIVATE "${PROJECT_SOURCE_DIR}/tests")
    target_compile_definitions(${name}_tests PRIVATE
                               CVH_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
    gtest_discover_tests(${name}_tests DISCOVERY_TIMEOUT 120
                         PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
