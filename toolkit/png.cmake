# The toolkit's PNG decoding and resource lookup: the static library bramble_png. Windows targets
# find resources in their modules (compiled from .rc files by the RC language); other targets
# embed them with bramble_add_resources and link the embedded table's lookup.
include(${CMAKE_CURRENT_LIST_DIR}/../cmake/embed_resources.cmake)

# Debian's libpng natively; the static libpng of build/deps (with static zlib) on Windows.
find_package(PNG REQUIRED)

set(BRAMBLE_PNG_SOURCES ${CMAKE_CURRENT_LIST_DIR}/core/png_image.cpp)
if(WIN32)
    enable_language(RC)
    list(APPEND BRAMBLE_PNG_SOURCES ${CMAKE_CURRENT_LIST_DIR}/core/backend_win32/resources_win32.cpp)
else()
    list(APPEND BRAMBLE_PNG_SOURCES
         ${CMAKE_CURRENT_LIST_DIR}/core/backend_soft/resources_embedded.cpp)
endif()

add_library(bramble_png STATIC ${BRAMBLE_PNG_SOURCES})
target_include_directories(bramble_png PUBLIC ${CMAKE_CURRENT_LIST_DIR}/..)
target_link_libraries(bramble_png PUBLIC PNG::PNG)
set_target_properties(bramble_png PROPERTIES POSITION_INDEPENDENT_CODE ON
                                             CXX_VISIBILITY_PRESET hidden
                                             VISIBILITY_INLINES_HIDDEN ON)
