# velnor_add_resources(target edition): compiles res/<edition>.rc into `target`.
# The scripts are UTF-8 (code page 65001). The script carries the application manifest
# (type 24, id 1), so Microsoft's linker must not add one of its own.
function(velnor_add_resources target edition)
  set(res_dir ${PROJECT_SOURCE_DIR}/res)
  set_property(TARGET ${target} APPEND PROPERTY VELNOR_RESOURCE_SCRIPTS ${res_dir}/${edition}.rc)
  if(MSVC)
    set_source_files_properties(${res_dir}/${edition}.rc PROPERTIES
      COMPILE_OPTIONS /c65001 INCLUDE_DIRECTORIES ${res_dir})
    target_sources(${target} PRIVATE ${res_dir}/${edition}.rc)
    target_link_options(${target} PRIVATE /MANIFEST:NO)
    return()
  endif()
  # windres upper-cases control class names, so their spelling is restored in the
  # compiled .res before it becomes an object file.
  set(out_dir ${CMAKE_CURRENT_BINARY_DIR}/${target}.res.d)
  set(inputs Conditions.rc Resource.h RestoreClassCase.pl Velnor.manifest Velnor.rc Version.h
      VelnorPro.ico VelnorPro.rc VelnorStd.ico VelnorStd.rc)
  list(TRANSFORM inputs PREPEND ${res_dir}/)
  list(APPEND inputs ${PROJECT_SOURCE_DIR}/conditions/CondDlgIds.h)
  add_custom_command(
    OUTPUT ${out_dir}/${edition}.res.obj
    COMMAND ${CMAKE_COMMAND} -E make_directory ${out_dir}
    COMMAND ${CMAKE_RC_COMPILER} -c 65001 -I ${res_dir} -i ${res_dir}/${edition}.rc
            -O res -o ${out_dir}/${edition}.res
    COMMAND perl ${res_dir}/RestoreClassCase.pl ${out_dir}/${edition}.res msctls_progress32
    COMMAND ${CMAKE_RC_COMPILER} -i ${out_dir}/${edition}.res -O coff
            -o ${out_dir}/${edition}.res.obj
    DEPENDS ${inputs}
    COMMENT "Resources of ${edition} for ${target}"
    VERBATIM)
  target_sources(${target} PRIVATE ${out_dir}/${edition}.res.obj)
endfunction()
