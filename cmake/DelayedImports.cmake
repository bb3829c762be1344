# System libraries that the program needs only for some of its work (shortcuts, pictures at
# other scales, the launch, assistive tools), loaded by the first call into them rather than
# before the program starts: their loading, and under Wine the apartment that the input method
# then opens on the window's thread, stay out of the time until the wizard is on the screen.
# delayed_import_library(<name>) makes <name>_delayed from cmake/delayed/<name>.def, the functions
# of <name>.dll that the program calls; a function not listed there still links, through the
# ordinary import library linked after it, and imports the library again, which ProductImageTest
# catches.
function(delayed_import_library name)
  set(def ${CMAKE_SOURCE_DIR}/cmake/delayed/${name}.def)
  set(lib ${CMAKE_BINARY_DIR}/delayed/lib${name}_delayed.a)
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86")
    set(machine i386)
  else()
    # 64-bit symbols carry no stdcall sizes.
    set(machine i386:x86-64)
    file(READ ${def} text)
    string(REGEX REPLACE "@[0-9]+" "" text "${text}")
    set(def ${CMAKE_BINARY_DIR}/delayed/${name}.def)
    file(WRITE ${def} "${text}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/cmake/delayed/${name}.def)
  endif()
  add_custom_command(OUTPUT ${lib}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/delayed
    COMMAND ${CMAKE_DLLTOOL} --machine ${machine} --kill-at --input-def ${def} --dllname ${name}.dll
            --output-delaylib ${lib}
    DEPENDS ${def} VERBATIM)
  add_custom_target(${name}_delayed_lib DEPENDS ${lib})
  # The ordinary import library after it; mingw-w64's run-time library, linked last, loads them.
  add_library(${name}_delayed INTERFACE)
  target_link_libraries(${name}_delayed INTERFACE ${lib} ${name})
  add_dependencies(${name}_delayed ${name}_delayed_lib)
endfunction()
