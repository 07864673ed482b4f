# The zip's README.txt: the template docs/README.txt.in with the parts of
# README.md marked "<!-- README.txt: NAME -->" ... "<!-- README.txt end -->"
# put in as @README_NAME@, Markdown's code marks taken out. A text that both
# READMEs share is written once, in README.md.
function(quorvantel_user_readme output)
  file(READ ${CMAKE_SOURCE_DIR}/README.md rest)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/README.md)
  while(rest MATCHES "<!-- README\\.txt: ([A-Z]+) -->\n")
    set(name README_${CMAKE_MATCH_1})
    string(FIND "${rest}" "${CMAKE_MATCH_0}" start)
    string(LENGTH "${CMAKE_MATCH_0}" length)
    math(EXPR start "${start} + ${length}")
    string(SUBSTRING "${rest}" ${start} -1 rest)
    string(FIND "${rest}" "<!-- README.txt end -->" end)
    if(end EQUAL -1)
      message(FATAL_ERROR "README.md: ${name} has no end mark")
    endif()
    string(SUBSTRING "${rest}" 0 ${end} text)
    string(REPLACE "`" "" text "${text}")
    string(STRIP "${text}" text)
    # configure_file sets the template's line ends only, not those put in.
    string(REPLACE "\n" "\r\n" ${name} "${text}")
  endwhile()
  configure_file(${CMAKE_SOURCE_DIR}/docs/README.txt.in ${output} @ONLY NEWLINE_STYLE CRLF)
endfunction()
