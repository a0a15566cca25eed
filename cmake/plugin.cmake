# The effect's sources, built once per variant: an object library that the plug-in library and
# the tests share, and the plug-in library itself with its entry points.
set(BRAMBLE_ROOT ${CMAKE_CURRENT_LIST_DIR}/..)

set(BRAMBLE_CORE_SOURCES
    ${BRAMBLE_ROOT}/host/audioeffect.cpp
    ${BRAMBLE_ROOT}/host/audioeffectx.cpp
    ${BRAMBLE_ROOT}/engine/plugin_core.cpp
    ${BRAMBLE_ROOT}/engine/plugin_core_process.cpp
    ${BRAMBLE_ROOT}/engine/value_texts.cpp)

if(WIN32)
    set(BRAMBLE_ENTRY_SOURCES ${BRAMBLE_ROOT}/host/entry.cpp ${BRAMBLE_ROOT}/host/entry_win32.cpp)
else()
    set(BRAMBLE_ENTRY_SOURCES ${BRAMBLE_ROOT}/host/entry.cpp ${BRAMBLE_ROOT}/host/entry_posix.cpp)
endif()

# bramble_add_editor_images(<target>): the editor's four images in the target's resources, found
# by id and type "PNG" from the module's handle.
function(bramble_add_editor_images target)
    if(WIN32)
        target_sources(${target} PRIVATE ${BRAMBLE_ROOT}/resources/editor_images.rc)
    else()
        bramble_add_resources(${target}
            128 PNG ${BRAMBLE_ROOT}/resources/bramble_face.png
            129 PNG ${BRAMBLE_ROOT}/resources/bramble_knob.png
            130 PNG ${BRAMBLE_ROOT}/resources/bramble_power_button.png
            131 PNG ${BRAMBLE_ROOT}/resources/bramble_route_button.png)
    endif()
endfunction()

# add_bramble_plugin(<library name> <core target> MONO|STEREO)
function(add_bramble_plugin name core variant)
    set(mono 0)
    if(variant STREQUAL MONO)
        set(mono 1)
    endif()

    add_library(${core} OBJECT ${BRAMBLE_CORE_SOURCES})
    target_compile_definitions(${core} PUBLIC BRAMBLE_MONO=${mono})
    target_include_directories(${core} PUBLIC ${BRAMBLE_ROOT})
    set_target_properties(${core} PROPERTIES POSITION_INDEPENDENT_CODE ON
                                             CXX_VISIBILITY_PRESET hidden
                                             VISIBILITY_INLINES_HIDDEN ON)

    add_library(${name} SHARED ${BRAMBLE_ENTRY_SOURCES} ${BRAMBLE_ROOT}/editor/plugin_module.cpp
                               $<TARGET_OBJECTS:${core}>)
    target_link_libraries(${name} PRIVATE bramble_editor)
    bramble_add_editor_images(${name})
    target_compile_definitions(${name} PRIVATE BRAMBLE_MONO=${mono})
    set_target_properties(${name} PROPERTIES PREFIX "" CXX_VISIBILITY_PRESET hidden
                                             VISIBILITY_INLINES_HIDDEN ON
                                             LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/plugins
                                             RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/plugins)
    if(WIN32)
        set(PLUGIN_NAME ${name})
        configure_file(${BRAMBLE_ROOT}/host/plugin.def.in ${CMAKE_BINARY_DIR}/${name}.def @ONLY)
        target_sources(${name} PRIVATE ${CMAKE_BINARY_DIR}/${name}.def)
        target_link_options(${name} PRIVATE -Wl,--kill-at)
    else()
        target_link_options(${name} PRIVATE -Wl,--no-undefined -Wl,-z,defs)
        target_link_libraries(${name} PRIVATE dl)
    endif()
endfunction()

add_bramble_plugin(QRV_BrambleCascader bramble_core_stereo STEREO)
add_bramble_plugin(QRV_BrambleCascader_mono bramble_core_mono MONO)
