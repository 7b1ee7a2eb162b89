# Writes a program's manual page from its --help text, so that the page says
# exactly what the program says, gzipped as Debian wants it.
#   cmake -DPROGRAM=path -DNAME=name -DSUMMARY=text -DVERSION=x.y.z -DOUT=page.1.gz -P man_page.cmake
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help ended with ${status}")
endif()
# Backslashes are roff escapes, and a line that starts with . or ' a request.
string(REPLACE "\\" "\\e" help "${help}")
string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" help "${help}")
string(TOUPPER "${NAME}" title)
get_filename_component(page "${OUT}" NAME_WLE)
string(REGEX REPLACE ".*\\.([0-9])$" "\\1" section "${page}")
file(WRITE "${OUT}.txt"
  ".TH ${title} ${section} \"\" \"quorvane ${VERSION}\" \"Quorvane\"\n"
  ".SH NAME\n${NAME} \\- ${SUMMARY}\n"
  ".SH DESCRIPTION\n.nf\n${help}.fi\n"
  ".SH SEE ALSO\n\\fBquorvane\\fR(6)\n")
execute_process(COMMAND sh -c "gzip -9n < '${OUT}.txt' > '${OUT}'" RESULT_VARIABLE status)
file(REMOVE "${OUT}.txt")
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cannot write ${OUT}")
endif()
