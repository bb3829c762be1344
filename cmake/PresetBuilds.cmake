# Builds of other presets, made as steps of this build: the tests read the shipped 32-bit program
# and run the product's own build for x86_64, so the test preset alone has to give both. Each is
# the preset's own build in the preset's own folder; what it is built with is said in
# CMakePresets.json only.
include(ExternalProject)

# The binary folder that CMakePresets.json gives the configure preset (through "inherits").
function(preset_binary_dir preset out)
  file(READ ${CMAKE_SOURCE_DIR}/CMakePresets.json json)
  string(JSON count LENGTH "${json}" configurePresets)
  math(EXPR last "${count} - 1")
  set(name ${preset})
  while(name)
    set(found "")
    foreach(i RANGE ${last})
      string(JSON entry GET "${json}" configurePresets ${i})
      string(JSON entry_name GET "${entry}" name)
      if(entry_name STREQUAL name)
        set(found "${entry}")
        break()
      endif()
    endforeach()
    if(NOT found)
      message(FATAL_ERROR "CMakePresets.json has no configure preset ${name}")
    endif()
    string(JSON dir ERROR_VARIABLE no_dir GET "${found}" binaryDir)
    if(NOT no_dir)
      string(REPLACE "\${sourceDir}" "${CMAKE_SOURCE_DIR}" dir "${dir}")
      string(REPLACE "\${presetName}" "${preset}" dir "${dir}")
      set(${out} "${dir}" PARENT_SCOPE)
      return()
    endif()
    string(JSON name ERROR_VARIABLE no_parent GET "${found}" inherits)
    if(no_parent)
      set(name "")
    endif()
  endwhile()
  message(FATAL_ERROR "CMakePresets.json gives preset ${preset} no binaryDir")
endfunction()

# add_preset_build(<preset> <variable>): target preset_<preset> configures (once, and again when
# the presets change) and builds that preset; <variable> receives its binary folder. The nested
# make shares this build's job slots.
function(add_preset_build preset out)
  preset_binary_dir(${preset} dir)
  ExternalProject_Add(preset_${preset}
    SOURCE_DIR ${CMAKE_SOURCE_DIR}
    BINARY_DIR ${dir}
    CONFIGURE_COMMAND ${CMAKE_COMMAND} -S ${CMAKE_SOURCE_DIR} --preset ${preset}
    BUILD_COMMAND $(MAKE)
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON)
  ExternalProject_Add_StepDependencies(preset_${preset} configure ${CMAKE_SOURCE_DIR}/CMakePresets.json)
  set(${out} "${dir}" PARENT_SCOPE)
endfunction()
