# Include roots per layer. Sources include by path from the source root
# ("toolkit/cyr.h"), but no product target sees the whole root: a layer's
# headers are reachable only through a folder in the build tree that links
# just that layer's folder (or single headers). A target sees a layer's
# headers only when it links that layer's target, so an include that reaches
# up a layer, or into a layer the target does not use, fails to compile.

# vellora_headers(<name> <path>...): an INTERFACE target <name> whose include
# root holds links to the given folders and files of the source tree, each
# under its own path.
function(vellora_headers name)
  set(root ${CMAKE_BINARY_DIR}/include_roots/${name})
  file(REMOVE_RECURSE ${root})  # removes the links, never what they point at
  foreach(path IN LISTS ARGN)
    get_filename_component(parent ${root}/${path} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${path} ${root}/${path} SYMBOLIC)
  endforeach()
  add_library(${name} INTERFACE)
  target_include_directories(${name} INTERFACE ${root})
endfunction()
