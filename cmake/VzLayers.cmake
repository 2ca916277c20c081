# vz_write_link_graph(FILE)
# Writes the link graph of every target of the build, as CMake holds it once
# every folder is added, for scripts/check-layers.sh. One tab-separated line
# per fact:
#   target <name> <folder, relative to the source tree>
#   link   <name> <item of its LINK_LIBRARIES or INTERFACE_LINK_LIBRARIES>
# The file is rewritten only when the graph changes.
function(vz_collect_targets dir out_var)
  get_property(targets DIRECTORY "${dir}" PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY "${dir}" PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    vz_collect_targets("${sub}" sub_targets)
    list(APPEND targets ${sub_targets})
  endforeach()
  set(${out_var} ${targets} PARENT_SCOPE)
endfunction()

function(vz_write_link_graph file)
  vz_collect_targets("${PROJECT_SOURCE_DIR}" targets)
  set(graph "")
  foreach(target IN LISTS targets)
    get_target_property(dir ${target} SOURCE_DIR)
    file(RELATIVE_PATH folder "${PROJECT_SOURCE_DIR}" "${dir}")
    string(APPEND graph "target\t${target}\t${folder}\n")
    foreach(property IN ITEMS LINK_LIBRARIES INTERFACE_LINK_LIBRARIES)
      get_target_property(items ${target} ${property})
      if(items)
        foreach(item IN LISTS items)
          string(APPEND graph "link\t${target}\t${item}\n")
        endforeach()
      endif()
    endforeach()
  endforeach()
  file(CONFIGURE OUTPUT "${file}" CONTENT "${graph}" @ONLY)
endfunction()
