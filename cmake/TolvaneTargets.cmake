# A plug-in library shows only its C exports: everything else is hidden so that
# two plug-ins loaded into one process never bind to each other's symbols.
function(tolvane_plugin target)
  set_target_properties(${target} PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    C_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    PREFIX "lib")
  target_link_options(${target} PRIVATE -Wl,--exclude-libs,ALL
    -Wl,--version-script=${CMAKE_SOURCE_DIR}/cmake/plugin-exports.map)
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/plugin-exports.map)
  # clang leaves the sanitizer runtime to the executable, so a fuzzing build
  # cannot resolve every symbol of a shared library at link time.
  if(NOT TOLVANE_FUZZ)
    target_link_options(${target} PRIVATE -Wl,--no-undefined)
  endif()
endfunction()

# Static libraries that end up inside a plug-in must be position independent
# and hidden as well.
# A plug-in's boxes are dialogs when its host runs a Qt application; builds
# without the GUI layer keep the console boxes.
function(tolvane_plugin_boxes target)
  if(TARGET tolvane_platform_gui)
    target_link_libraries(${target} PRIVATE tolvane_platform_gui)
    target_compile_definitions(${target} PRIVATE TOLVANE_PLUGIN_GUI_BOXES)
  endif()
endfunction()

# A device plug-in: the shared device object and its exports over one
# plug-in's traits (a source among SOURCES defines zern::pluginTraits), its
# link LIBRARIES, boxes as dialogs when the GUI is built, and its entry in the
# machine-wide device list that cmake --install writes.
function(tolvane_device_plugin target)
  cmake_parse_arguments(PARSE_ARGV 1 PLUGIN "" "" "SOURCES;LIBRARIES")
  add_library(${target} SHARED ${PLUGIN_SOURCES} ${CMAKE_SOURCE_DIR}/device/DeviceExports.cpp)
  target_link_libraries(${target} PRIVATE ${PLUGIN_LIBRARIES})
  tolvane_plugin(${target})
  tolvane_plugin_boxes(${target})
  set(devices ${TOLVANE_INSTALLED_DEVICES})
  if(NOT "${target}=lib${target}.so" IN_LIST devices)
    list(APPEND devices "${target}=lib${target}.so")
    set(TOLVANE_INSTALLED_DEVICES "${devices}" CACHE INTERNAL "name=library pairs of the device plug-ins")
  endif()
endfunction()

function(tolvane_plugin_static target)
  set_target_properties(${target} PROPERTIES
    POSITION_INDEPENDENT_CODE ON
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
endfunction()

function(tolvane_gtest target)
  add_executable(${target} ${ARGN})
  target_link_libraries(${target} PRIVATE GTest::gtest_main GTest::gmock)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  # Exported symbols let the plug-ins a test loads share its emulators' side
  # channel (see platform/SerialPort.cpp).
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests ENABLE_EXPORTS ON)
  include(GoogleTest)
  gtest_discover_tests(${target} DISCOVERY_MODE PRE_TEST
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen\;TOLVANE_BUILD_BIN=${TOLVANE_BIN_DIR}")
endfunction()

# A libFuzzer target, built only in the fuzzing tree (clang, TOLVANE_FUZZ=ON).
# scripts/test.d/30-fuzz.sh runs every one of them for a bounded time.
function(tolvane_fuzzer target)
  if(NOT TOLVANE_FUZZ)
    return()
  endif()
  add_executable(${target} ${ARGN})
  target_compile_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${target} PRIVATE -fsanitize=fuzzer,address,undefined)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
endfunction()
