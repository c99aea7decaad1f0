# A folder of the program as a library of its own.
#
#   quorvel_module(target SOURCES ... API ... LINK ...)
#
# The API headers are linked into a folder of their own in the build tree,
# which is the only include path the library gives to those that link it;
# its other headers stay its own. LINK names the libraries it may use, and
# so the folders whose API headers it may include: a folder that included
# one it does not link would not compile. Tests reach below the API through
# target_internals.
function(quorvel_module target)
  cmake_parse_arguments(M "" "" "SOURCES;API;LINK" ${ARGN})
  add_library(${target} STATIC ${M_SOURCES} ${M_API})
  set(api ${CMAKE_CURRENT_BINARY_DIR}/api)
  file(REMOVE_RECURSE ${api})
  foreach(header IN LISTS M_API)
    get_filename_component(folder ${header} DIRECTORY)
    file(MAKE_DIRECTORY ${api}/${folder})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${api}/${header} SYMBOLIC)
  endforeach()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/CMakeLists.txt)
  target_include_directories(${target} PUBLIC ${api} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${M_LINK} PRIVATE quorvel_warnings)
  add_library(${target}_internals INTERFACE)
  target_include_directories(${target}_internals INTERFACE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${target}_internals INTERFACE ${target})
endfunction()
