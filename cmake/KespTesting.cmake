# kesp_add_test(NAME SOURCES src... LIBS lib... [QT] [LABELS l...])
# One GoogleTest binary; each case becomes a CTest test (on Windows, the whole binary is one), run with the C locale (a test that wants
# the user's locale sets it itself), offscreen Qt and a private runtime folder.
set(KESP_TEST_RUNTIME_DIR ${CMAKE_BINARY_DIR}/test-runtime)
file(MAKE_DIRECTORY ${KESP_TEST_RUNTIME_DIR})
file(CHMOD ${KESP_TEST_RUNTIME_DIR} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

function(kesp_add_test name)
    cmake_parse_arguments(T "QT" "" "SOURCES;LIBS;LABELS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
    if(T_QT)
        target_link_libraries(${name} PRIVATE kesp_qt_test_main Qt6::Widgets Qt6::Test)
    else()
        target_link_libraries(${name} PRIVATE GTest::gtest_main)
    endif()
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/src ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(${name} PRIVATE
        KESP_SOURCE_DIR="${CMAKE_SOURCE_DIR}" KESP_BINARY_DIR="${CMAKE_BINARY_DIR}"
        KESP_BIN_DIR="${CMAKE_BINARY_DIR}/bin")
    # An empty LABELS value would swallow the next property name.
    set(labels "")
    if(T_LABELS)
        set(labels LABELS "${T_LABELS}")
    endif()
    if(WIN32)
        # The tests run as the programs do: names in UTF-8.
        target_link_libraries(${name} PRIVATE kesp_win32_manifest)
        # Each wine start costs about a second: one test per binary, all its cases at once.
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES TIMEOUT 180 ${labels})
        return()
    endif()
    gtest_discover_tests(${name}
        DISCOVERY_MODE PRE_TEST
        DISCOVERY_TIMEOUT 60
        PROPERTIES
            ENVIRONMENT "LC_ALL=C;QT_QPA_PLATFORM=offscreen;XDG_RUNTIME_DIR=${KESP_TEST_RUNTIME_DIR}"
            TIMEOUT 300
            ${labels})
endfunction()
