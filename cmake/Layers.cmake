# The layers, enforced by the compiler. No folder of the source tree is on any include path:
# each library publishes an include root of its own in the build folder, holding links to its
# own folder (or to single headers of it) and nothing else, to what links it. A target thus sees
# its own layer and the layers it links, never one above: an include that runs up names a file
# that is not there. Includes keep their folder ("engine/SetupLog.h", "base/Handles.h").

# layer_include_root(<target> <PUBLIC|PRIVATE|INTERFACE> <path>...): paths relative to the source
# folder, each a folder or a single file.
function(layer_include_root target scope)
  set(root ${CMAKE_BINARY_DIR}/include/${target})
  file(REMOVE_RECURSE ${root})
  foreach(path ${ARGN})
    if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${path})
      message(FATAL_ERROR "layer_include_root(${target}): no ${path} in the source folder")
    endif()
    get_filename_component(parent ${root}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${path} ${root}/${path} SYMBOLIC)
  endforeach()
  target_include_directories(${target} ${scope} ${root})
endfunction()
