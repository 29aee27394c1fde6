# Hardening of every program and library built here:
#   - position-independent executables (PIE),
#   - full RELRO: relocations read-only after start-up, every symbol bound at
#     start-up (-z relro -z now),
#   - the stack protector on functions with arrays or address-taken locals,
#   - _FORTIFY_SOURCE=2 in the optimised configurations, where the C library
#     checks the sizes of buffers it writes that the compiler knows.
# Included from the top-level CMakeLists.txt before any target exists, so the
# directory-wide options below reach every target. The first three are for
# ELF platforms; a MinGW build gets the stack protector only. Not under MSVC,
# whose defaults (/GS, /DYNAMICBASE, /NXCOMPAT) already cover the same ground.
# tests/packaging/check_hardening.sh checks the result with readelf.

option(VISTRUM_HARDENING "Build with PIE, full RELRO, the stack protector and _FORTIFY_SOURCE" ON)

if(VISTRUM_HARDENING AND NOT MSVC)
  add_compile_options(-fstack-protector-strong)
  if(WIN32)
    # MinGW links the protector's run-time (libssp) only when told at link time.
    add_link_options(-fstack-protector-strong)
  endif()

  # The rest is about ELF executables and glibc: Linux and the BSDs.
  if(UNIX AND NOT APPLE)
    include(CheckPIESupported)
    check_pie_supported(OUTPUT_VARIABLE vistrum_pie_message LANGUAGES CXX)
    if(NOT CMAKE_CXX_LINK_PIE_SUPPORTED)
      message(FATAL_ERROR "The linker cannot make position-independent executables: "
                          "${vistrum_pie_message}")
    endif()
    # Executables link with -pie. Qt asks for -fPIC on everything that uses
    # it, which its interface adds after ours, so objects are PIC as before.
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)

    add_link_options(LINKER:-z,relro LINKER:-z,now)

    # _FORTIFY_SOURCE does nothing without optimisation, and glibc warns about
    # it there, so Debug goes without. Some compilers predefine it (with
    # another level); -U first, or the redefinition warning would be an error.
    # AddressSanitizer checks the same calls itself and more, so a sanitized
    # build goes without too.
    if(NOT VISTRUM_SANITIZE)
      add_compile_options(
        "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
    endif()
  endif()
endif()
