# Debian's build flags for every target made after this is included: what
# `dpkg-buildflags` gives with all hardening features on (stack protector,
# _FORTIFY_SOURCE, format-string checks, read-only relocations, immediate
# binding), plus position-independent executables. The package, ./run.sh and
# the test build all take them, so the tests run the code that is shipped.
#
# Left out: -g and -O<n> (the build type decides those), and the whole set in
# sanitizer and fuzzing builds. _FORTIFY_SOURCE needs the optimiser (without
# it glibc warns and checks nothing), so a Debug build goes without it.
# DEB_BUILD_MAINT_OPTIONS and DEB_CXXFLAGS_APPEND and the like in the
# environment are honoured, as dpkg-buildflags does.
option(KVT_DEBIAN_BUILD_FLAGS "Build with the hardening flags of dpkg-buildflags" ON)

function(kvt_dpkg_buildflags name out)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env
      "DEB_BUILD_MAINT_OPTIONS=hardening=+all $ENV{DEB_BUILD_MAINT_OPTIONS}"
      dpkg-buildflags --get ${name}
    WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "dpkg-buildflags --get ${name} failed")
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

find_program(KVT_DPKG_BUILDFLAGS dpkg-buildflags)
if(KVT_DEBIAN_BUILD_FLAGS AND NOT KVT_SANITIZE AND NOT KVT_FUZZ)
  if(NOT KVT_DPKG_BUILDFLAGS)
    message(WARNING "dpkg-buildflags not found (package dpkg-dev): building without "
      "Debian's hardening flags")
  else()
    kvt_dpkg_buildflags(CPPFLAGS cpp_flags)
    kvt_dpkg_buildflags(CXXFLAGS cxx_flags)
    kvt_dpkg_buildflags(LDFLAGS link_flags)
    list(FILTER cxx_flags EXCLUDE REGEX "^-(g|O.?)$")
    if(CMAKE_BUILD_TYPE STREQUAL "Debug")
      list(FILTER cpp_flags EXCLUDE REGEX "^-D_FORTIFY_SOURCE")
    endif()
    add_compile_options(${cpp_flags} ${cxx_flags})
    add_link_options(${link_flags})
    set(CMAKE_POSITION_INDEPENDENT_CODE ON)
    include(CheckPIESupported)
    check_pie_supported()
  endif()
endif()
