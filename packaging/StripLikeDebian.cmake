# A stripped program keeps its .comment and .note sections with a plain
# `strip` (CPACK_STRIP_FILES, `cmake --install --strip`); Debian's dh_strip
# removes them too, and so does this, after the strip of the programs.
if(CMAKE_OBJCOPY)
  foreach(program ${KVT_PACKAGE_PROGRAMS})
    install(CODE "
      if(CMAKE_INSTALL_DO_STRIP)
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
          --remove-section=.note
          \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\"
          COMMAND_ERROR_IS_FATAL ANY)
      endif()")
  endforeach()
endif()
