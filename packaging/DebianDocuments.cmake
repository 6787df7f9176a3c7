# What Debian asks of every package in /usr/share/doc/kvt936p, and the
# AppStream metainfo that software centres list the recorder by:
# - copyright: machine-readable (DEP-5), holder and licence text from LICENSE;
# - changelog.gz: packaging/changelog, in Debian's format. The package is
#   native (its version has no Debian revision), so the file is not called
#   changelog.Debian.gz;
# - share/metainfo/org.example.kvt936p.metainfo.xml, whose release is the
#   newest entry of the changelog and whose binaries are the programs. Its
#   screenshot is screenshots/kvt936p-trend.png, published at the address
#   the metainfo gives (the installed recorder polling kvt-nodesim).
# KVT_DOCUMENTS names the files that are made while building.
set(documents ${CMAKE_CURRENT_BINARY_DIR}/doc)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/LICENSE ${CMAKE_CURRENT_SOURCE_DIR}/changelog)

# The licence paragraph of DEP-5: every line indented, empty lines as " .".
file(READ ${CMAKE_SOURCE_DIR}/LICENSE licence)
string(REGEX MATCH "Copyright \\(c\\) ([^\n]+)" found "${licence}")
set(KVT_COPYRIGHT "${CMAKE_MATCH_1}")
string(REGEX REPLACE "^.*\n\nPermission" "Permission" licence "${licence}")
string(STRIP "${licence}" licence)
string(REPLACE "\n\n" "\n.\n" licence "${licence}")
string(REPLACE "\n" "\n " KVT_LICENSE_TEXT " ${licence}")
configure_file(copyright.in ${documents}/copyright @ONLY)

configure_file(changelog ${documents}/changelog COPYONLY)
add_custom_command(OUTPUT ${documents}/changelog.gz
  COMMAND gzip -9nkf ${documents}/changelog
  DEPENDS ${documents}/changelog
  VERBATIM)
set(KVT_DOCUMENTS ${documents}/changelog.gz)

# The newest entry: "kvt936p (VERSION) ..." and " -- NAME <ADDRESS>  Thu, 10 Dec 2026 ...".
file(STRINGS changelog heading LIMIT_COUNT 1)
string(REGEX MATCH "^kvt936p \\(([^)]+)\\)" found "${heading}")
set(KVT_RELEASE_VERSION "${CMAKE_MATCH_1}")
file(STRINGS changelog trailer REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX MATCH ", ([0-9]+) ([A-Z][a-z][a-z]) ([0-9]+) " found "${trailer}")
set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND months "${CMAKE_MATCH_2}" month)
if(NOT found OR month EQUAL -1)
  message(FATAL_ERROR "packaging/changelog: no date in the newest entry: ${trailer}")
endif()
math(EXPR month "${month} + 1")
set(day ${CMAKE_MATCH_1})
foreach(part month day)
  string(LENGTH "${${part}}" digits)
  if(digits EQUAL 1)
    set(${part} "0${${part}}")
  endif()
endforeach()
set(KVT_RELEASE_DATE "${CMAKE_MATCH_3}-${month}-${day}")
list(TRANSFORM KVT_PACKAGE_PROGRAMS PREPEND "    <binary>" OUTPUT_VARIABLE binaries)
list(TRANSFORM binaries APPEND "</binary>")
list(JOIN binaries "\n" KVT_PROVIDED_BINARIES)
set(metainfo ${CMAKE_CURRENT_BINARY_DIR}/metainfo/org.example.kvt936p.metainfo.xml)
configure_file(org.example.kvt936p.metainfo.xml.in ${metainfo} @ONLY)

install(FILES ${documents}/copyright ${documents}/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
