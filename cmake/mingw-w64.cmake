# What every target's toolchain shares: mingw-w64, posix threads variant, for the triplet that
# the target's own toolchain file sets in SETUP_MINGW_TRIPLET before it includes this file.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${SETUP_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SETUP_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER  ${SETUP_MINGW_TRIPLET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${SETUP_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
