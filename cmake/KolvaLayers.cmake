# The folders of src/ are layers. Each builds into a library of its own and may include only
# its own headers and those of the layers it names as used, all of which must lie below it in
# KOLVA_LAYERS. A build step checks every include of a layer's files on each change, so an
# include that goes against the graph fails the build, not a review.

# From the bottom up. A layer may use only layers listed before it. The window layers come
# last: toolsapi (the IDE's interface, used by nothing of the core), ide (the add-in's side of
# it) and host (the IDE stand-in, a program of its own).
set(KOLVA_LAYERS platform foundation model editing settings templates cli toolsapi ide explorer host)

# kolva_layer(<folder> [USES <layer>...] [QT] [ENTRY <file>])
# Builds src/<folder>/*.cpp into the library kolva_<folder>, linked to the libraries of the
# layers it uses. Without QT, any Qt include in the folder fails the build; with QT, the
# library links Qt Widgets and runs moc on its headers. ENTRY names the
# file with main(), left out of the library for the caller's program but checked all the same.
function(kolva_layer folder)
  cmake_parse_arguments(LAYER "QT" "ENTRY" "USES" ${ARGN})
  list(FIND KOLVA_LAYERS ${folder} own_rank)
  if(own_rank EQUAL -1)
    message(FATAL_ERROR "${folder} is not a layer; add it to KOLVA_LAYERS in ${CMAKE_CURRENT_FUNCTION_LIST_FILE}")
  endif()
  foreach(used IN LISTS LAYER_USES)
    list(FIND KOLVA_LAYERS ${used} used_rank)
    if(used_rank EQUAL -1 OR NOT used_rank LESS own_rank)
      message(FATAL_ERROR "${folder} may not use ${used}: a layer uses only layers below it")
    endif()
  endforeach()

  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  file(GLOB headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  set(target kolva_${folder})
  set(library_sources ${sources})
  if(LAYER_ENTRY)
    list(REMOVE_ITEM library_sources ${CMAKE_CURRENT_SOURCE_DIR}/${LAYER_ENTRY})
  endif()
  add_library(${target} STATIC ${library_sources} ${headers})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  foreach(used IN LISTS LAYER_USES)
    target_link_libraries(${target} PUBLIC kolva_${used})
  endforeach()
  if(LAYER_QT)
    set_target_properties(${target} PROPERTIES AUTOMOC ON)
    target_link_libraries(${target} PUBLIC Qt6::Widgets)
  endif()

  set(allowed ${folder} ${LAYER_USES})
  list(JOIN allowed "," allowed)
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${folder}.layer-checked)
  add_custom_command(
    OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DDIR=${CMAKE_CURRENT_SOURCE_DIR} -DLAYER=${folder}
            -DALLOWED=${allowed} -DALLOW_QT=${LAYER_QT}
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayer.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${sources} ${headers} ${PROJECT_SOURCE_DIR}/cmake/CheckLayer.cmake
    COMMENT "Checking the includes of layer ${folder}"
    VERBATIM)
  add_custom_target(${target}_includes DEPENDS ${stamp})
  add_dependencies(${target} ${target}_includes)
endfunction()
