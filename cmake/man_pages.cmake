# Manual pages made by help2man from what the built programs answer to --help and --version,
# so the page says what the program says. Both answer without a display.
find_program(CCP_HELP2MAN help2man REQUIRED)
find_program(CCP_GZIP gzip REQUIRED)

# The page of `target` in section 1, gzipped and installed. Its NAME line is given, as the
# About line that --version prints starts with the model, not the program's name.
function(ccp_man_page target summary see_also)
  set(page ${CMAKE_CURRENT_BINARY_DIR}/${target}.1)
  file(WRITE ${page}.h2m "[NAME]\n${target} \\- ${summary}\n[SEE ALSO]\n.BR ${see_also} (1)\n")
  add_custom_command(
    OUTPUT ${page}.gz
    COMMAND ${CCP_HELP2MAN} --no-info --section=1 --include=${page}.h2m --output=${page}
            $<TARGET_FILE:${target}>
    COMMAND ${CCP_GZIP} -9nf ${page}
    DEPENDS ${target} ${page}.h2m
    COMMENT "Manual page of ${target}"
    VERBATIM)
  add_custom_target(${target}_man_page ALL DEPENDS ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
