# The Windows backend and the program itself (MinGW-w64 cross builds).

enable_language(RC)

set(PICTAVO_WIN32_DIR ${CMAKE_CURRENT_LIST_DIR}/../src/platform/win32)
cmake_path(NORMAL_PATH PICTAVO_WIN32_DIR)

set(PICTAVO_WIN32_DEFINITIONS UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)
set(PICTAVO_WIN32_LIBRARIES
    user32 gdi32 comctl32 ole32 oleaut32 windowscodecs uuid shlwapi shell32 advapi32 psapi)
set(PICTAVO_STATIC_RUNTIME -static -static-libgcc -static-libstdc++)

file(GLOB PICTAVO_WIN32_SOURCES CONFIGURE_DEPENDS ${PICTAVO_WIN32_DIR}/*.cpp)
list(FILTER PICTAVO_WIN32_SOURCES EXCLUDE REGEX "/main\\.cpp$")
add_library(pictavo_win32 STATIC ${PICTAVO_WIN32_SOURCES})
target_link_libraries(pictavo_win32 PUBLIC pictavo_platform pictavo_pictures ${PICTAVO_WIN32_LIBRARIES})
target_compile_definitions(pictavo_win32 PUBLIC ${PICTAVO_WIN32_DEFINITIONS})

# Resources: icon, manifest, version. windres takes none of the C++ warning
# options, so they live in a target of their own.
set(PICTAVO_RES_DIR ${PICTAVO_WIN32_DIR}/res)
configure_file(${PICTAVO_RES_DIR}/pictavo.rc.in ${CMAKE_CURRENT_BINARY_DIR}/pictavo.rc @ONLY)
add_library(pictavo_resources OBJECT ${CMAKE_CURRENT_BINARY_DIR}/pictavo.rc)
set_property(TARGET pictavo_resources PROPERTY COMPILE_OPTIONS "")
set_property(SOURCE ${CMAKE_CURRENT_BINARY_DIR}/pictavo.rc APPEND PROPERTY OBJECT_DEPENDS
    ${PICTAVO_RES_DIR}/pictavo.ico ${PICTAVO_RES_DIR}/pictavo.manifest)

add_executable(pictavo WIN32 ${PICTAVO_WIN32_DIR}/main.cpp $<TARGET_OBJECTS:pictavo_resources>)
target_link_libraries(pictavo PRIVATE pictavo_program pictavo_win32)
target_compile_options(pictavo PRIVATE -municode)
target_link_options(pictavo PRIVATE -municode ${PICTAVO_STATIC_RUNTIME})
set_target_properties(pictavo PROPERTIES OUTPUT_NAME pictavo RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR})

# Contract tests of the backend and the end-to-end tests' helpers, run under
# Wine. The 32-bit build has the helpers only, for the end-to-end tests of
# the 32-bit program.
if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_subdirectory(${CMAKE_CURRENT_LIST_DIR}/../tests/win32 ${CMAKE_BINARY_DIR}/tests/win32)
else()
    set(_e2e_probes ${CMAKE_CURRENT_LIST_DIR}/../tests/e2e/probe)
    add_executable(window_probe ${_e2e_probes}/window_probe.cpp)
    target_compile_definitions(window_probe PRIVATE UNICODE _UNICODE)
    target_link_options(window_probe PRIVATE -municode ${PICTAVO_STATIC_RUNTIME})
    add_executable(listing_gate ${_e2e_probes}/listing_gate.cpp)
    target_link_libraries(listing_gate PRIVATE pictavo_win32)
    target_link_options(listing_gate PRIVATE -municode ${PICTAVO_STATIC_RUNTIME})
    set_target_properties(window_probe listing_gate PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests/win32)
endif()
