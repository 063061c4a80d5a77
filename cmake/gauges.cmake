# zaz_add_gauge(<module name> DIR <gauges/ subfolder> DESCRIPTION <FileDescription>)
#
# Builds, from gauges/<dir>/gauge*.cpp:
#   <dir>_gauge    a static library of the gauge's records and callbacks
#   <module name>  the module: <name>.gau on Windows, <name>.so elsewhere,
#                  carrying the gauge's bitmaps and version resource
option(ZAZ_MODULES "Build the loadable gauge modules" ON)

set(ZAZ_VERSION_RC_IN ${CMAKE_CURRENT_LIST_DIR}/gauge.rc.in)
set(ZAZ_RESOURCE_ASM ${CMAKE_CURRENT_LIST_DIR}/resource_blob.S)

function(zaz_art_command gauge_dir out_dir)
  if(ZAZ_ART_TOOL)
    set(tool ${ZAZ_ART_TOOL})
    set(dep ${ZAZ_ART_TOOL})
  else()
    set(tool $<TARGET_FILE:zaz-art>)
    set(dep zaz-art)
  endif()
  add_custom_command(
    OUTPUT ${out_dir}/bitmaps.rc
    COMMAND ${CMAKE_COMMAND} -E env LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/cmake/lsan.supp:print_suppressions=0
            ${tool} ${gauge_dir} ${out_dir}
    DEPENDS ${dep}
    COMMENT "Drawing the ${gauge_dir} bitmaps"
    VERBATIM)
endfunction()

function(zaz_add_gauge name)
  cmake_parse_arguments(G "" "DIR;DESCRIPTION" "" ${ARGN})
  set(src_dir ${PROJECT_SOURCE_DIR}/gauges/${G_DIR})
  file(GLOB sources CONFIGURE_DEPENDS ${src_dir}/gauge*.cpp)
  if(NOT sources)
    message(STATUS "${name}: no gauge sources yet")
    return()
  endif()
  add_library(${G_DIR}_gauge STATIC ${sources})
  target_link_libraries(${G_DIR}_gauge PUBLIC frame)

  if(NOT ZAZ_MODULES)
    return()
  endif()

  set(art_dir ${CMAKE_BINARY_DIR}/art/${G_DIR})
  zaz_art_command(${G_DIR} ${art_dir})
  set(FILE_DESCRIPTION ${G_DESCRIPTION})
  set(GAUGE_NAME ${name})
  configure_file(${ZAZ_VERSION_RC_IN} ${art_dir}/gauge.rc @ONLY)

  if(WIN32)
    set(res ${art_dir}/gauge_res.o)
    set(format coff)
  else()
    set(res ${art_dir}/gauge.res)
    set(format res)
  endif()
  add_custom_command(
    OUTPUT ${res}
    COMMAND ${ZAZ_WINDRES} -I${art_dir} -i ${art_dir}/gauge.rc -O ${format} -o ${res}
    DEPENDS ${art_dir}/gauge.rc ${art_dir}/bitmaps.rc
    COMMENT "Compiling the ${name} resources"
    VERBATIM)

  if(WIN32)
    set(def ${art_dir}/${name}.def)
    file(CONFIGURE OUTPUT ${def} CONTENT "LIBRARY \"${name}.gau\"\nEXPORTS\n  Linkage @1 DATA\n  ImportTable @2 DATA\n")
    add_library(${name} SHARED ${res} ${def})
    target_link_options(${name} PRIVATE -static-libgcc -static-libstdc++ -Wl,--kill-at)
    set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".gau")
  else()
    set(blob_obj ${name}_resources)
    # A copy per gauge: the dependency on its .res is a property of the source.
    set(blob_asm ${art_dir}/resource_blob.S)
    configure_file(${ZAZ_RESOURCE_ASM} ${blob_asm} COPYONLY)
    add_library(${blob_obj} OBJECT ${blob_asm})
    set_source_files_properties(${blob_asm} PROPERTIES OBJECT_DEPENDS ${res})
    target_compile_definitions(${blob_obj} PRIVATE "ZAZ_RES_FILE=\"${res}\"")
    add_library(${name} MODULE $<TARGET_OBJECTS:${blob_obj}> ${PROJECT_SOURCE_DIR}/cmake/resource_table.cpp)
    set(vs ${art_dir}/exports.map)
    file(WRITE ${vs} "{\n  global: Linkage; ImportTable; Resources;\n  local: *;\n};\n")
    target_link_options(${name} PRIVATE -Wl,--version-script=${vs} -Wl,-z,defs)
    set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".so" LINK_DEPENDS ${vs})
  endif()
  # The exported records live in the frame library; nothing else asks for them.
  if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4)
    target_link_options(${name} PRIVATE -Wl,-u,_Linkage -Wl,-u,_ImportTable)
  else()
    target_link_options(${name} PRIVATE -Wl,-u,Linkage -Wl,-u,ImportTable)
  endif()
  target_link_libraries(${name} PRIVATE $<LINK_LIBRARY:WHOLE_ARCHIVE,${G_DIR}_gauge> frame)
  if(NOT WIN32)
    target_link_libraries(${name} PRIVATE platform_posix)
  endif()
  set_target_properties(${name} PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/modules
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/modules)
  add_dependencies(${name} VorudAdizi)
  set_property(GLOBAL APPEND PROPERTY ZAZ_MODULE_TARGETS ${name})
endfunction()
