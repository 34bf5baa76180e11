# Control libraries (ActiveX .ocx) for Windows.

# Builds a control library: type library from IDL, resources, the module with its exports.
#   nx_control_library(<name> IDL <file> RC <file> DEF <file> SOURCES <files> LIBS <targets>
#                      PICTURES <names>)
function(nx_control_library name)
  cmake_parse_arguments(L "" "IDL;RC;DEF" "SOURCES;LIBS;PICTURES" ${ARGN})
  set(gen ${CMAKE_CURRENT_BINARY_DIR}/generated)
  file(MAKE_DIRECTORY ${gen})
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(widl_arch --win64)
    set(widl_cmd x86_64-w64-mingw32-widl)
    set(wine_lib /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)
  else()
    set(widl_arch --win32)
    set(widl_cmd i686-w64-mingw32-widl)
    set(wine_lib /usr/lib/x86_64-linux-gnu/wine/x86_64-windows)  # stdole2.tlb exists only here
  endif()
  # The library's IDL may include one file per class from its own folder.
  get_filename_component(idl_dir ${L_IDL} DIRECTORY)
  file(GLOB idl_parts CONFIGURE_DEPENDS ${idl_dir}/*.idl)
  add_custom_command(
    OUTPUT ${gen}/${name}.tlb ${gen}/${name}_h.h
    COMMAND ${widl_cmd} ${widl_arch} -I/usr/include/wine/wine/windows
            -L${wine_lib}
            -t -T ${gen}/${name}.tlb -h -H ${gen}/${name}_h.h ${L_IDL}
    DEPENDS ${L_IDL} ${idl_parts}
    COMMENT "widl ${name}"
    VERBATIM)
  set(pictures "")
  foreach(p IN LISTS L_PICTURES)
    list(APPEND pictures ${gen}/${p})
  endforeach()
  add_custom_command(
    OUTPUT ${pictures}
    COMMAND python3 ${CMAKE_SOURCE_DIR}/tools/resgen/resgen.py ${gen} ${L_PICTURES}
    DEPENDS ${CMAKE_SOURCE_DIR}/tools/resgen/resgen.py
    COMMENT "resource pictures of ${name}"
    VERBATIM)
  add_custom_target(${name}_generated DEPENDS ${gen}/${name}.tlb ${gen}/${name}_h.h ${pictures})
  set_source_files_properties(${L_RC} PROPERTIES OBJECT_DEPENDS
                              "${gen}/${name}.tlb;${pictures}")
  add_library(${name} SHARED ${L_SOURCES} ${CMAKE_SOURCE_DIR}/platform/win32/com/library_exports.cpp
              ${L_RC} ${L_DEF})
  add_dependencies(${name} ${name}_generated)
  set_target_properties(${name} PROPERTIES PREFIX "" SUFFIX ".ocx")
  target_include_directories(${name} PRIVATE ${gen})
  set_property(TARGET ${name} APPEND PROPERTY RC_INCLUDE_DIRECTORIES ${gen})
  target_link_libraries(${name} PRIVATE ${L_LIBS} nx_win32)
  target_link_options(${name} PRIVATE -static -static-libgcc -static-libstdc++)
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    # The .def file names the stdcall entry points without their decoration.
    target_link_options(${name} PRIVATE -Wl,--enable-stdcall-fixup)
  endif()
  nx_warnings(${name})
endfunction()
