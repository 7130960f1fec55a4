# Helpers shared by every area's CMakeLists.

# quillcap_core_library(<name> SOURCES ... [LIBS ...])
# A core library holds plain logic: QtCore and QImage only. Its sources are
# recorded so the layering check can prove it stays free of widgets and X11.
function(quillcap_core_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Gui ${ARG_LIBS})
  foreach(src IN LISTS ARG_SOURCES)
    get_filename_component(abs "${src}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    set_property(GLOBAL APPEND PROPERTY QUILLCAP_CORE_SOURCES "${abs}")
  endforeach()
endfunction()

# quillcap_ui_library(<name> SOURCES ... [LIBS ...])
function(quillcap_ui_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC Qt6::Core Qt6::Gui Qt6::Widgets ${ARG_LIBS})
endfunction()

function(quillcap_write_core_source_list)
  get_property(srcs GLOBAL PROPERTY QUILLCAP_CORE_SOURCES)
  list(JOIN srcs "\n" text)
  file(WRITE "${PROJECT_BINARY_DIR}/core-sources.txt" "${text}\n")
endfunction()
