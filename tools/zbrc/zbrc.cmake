# zb_add_resources(<target> <script.rc> [INCLUDES <dirs...>] [DEFINES <name[=value]...>])
# Compiles a resource script with zbrc and links its table into <target>, where the resource
# functions find it under the target's own module handle.
function(zb_add_resources target script)
  cmake_parse_arguments(ARG "" "" "INCLUDES;DEFINES" ${ARGN})
  get_filename_component(script ${script} ABSOLUTE)
  get_filename_component(stem ${script} NAME_WE)
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_${stem})
  string(MAKE_C_IDENTIFIER "zb_resources_${target}_${stem}" symbol)
  set(args)
  foreach(dir ${ARG_INCLUDES})
    list(APPEND args -I ${dir})
  endforeach()
  foreach(def ${ARG_DEFINES})
    list(APPEND args -D ${def})
  endforeach()
  add_custom_command(
    OUTPUT ${out}.res ${out}.cpp
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0
            $<TARGET_FILE:zbrc> ${args} -o ${out}.res -c ${out}.cpp -s ${symbol} -d ${out}.d ${script}
    DEPENDS zbrc ${script}
    DEPFILE ${out}.d
    COMMENT "Compiling the resources of ${target} (${stem}.rc)"
    VERBATIM)
  set_source_files_properties(${out}.cpp PROPERTIES OBJECT_DEPENDS ${out}.res)
  target_sources(${target} PRIVATE ${out}.cpp)
  target_link_libraries(${target} PRIVATE coredll)
endfunction()
