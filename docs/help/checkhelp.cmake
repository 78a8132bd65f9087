# Checks the built help document: present, not empty, and its text readable
# back with the title, the file names a user needs and literal entity texts.
# Run with -DPDFTOTEXT=<pdftotext> -DPDF=<umbrill_help.pdf>.
if(NOT EXISTS "${PDF}")
  message(FATAL_ERROR "missing: ${PDF}")
endif()
file(SIZE "${PDF}" size)
if(size EQUAL 0)
  message(FATAL_ERROR "empty: ${PDF}")
endif()
execute_process(COMMAND "${PDFTOTEXT}" -enc UTF-8 "${PDF}" -
                OUTPUT_VARIABLE text RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "pdftotext failed (${result}): ${errors}")
endif()
foreach(expected "Umbrill Help" "Umbrill05.ini" "user.reg" "&eacute;" "&deg;" "PasteFormat")
  string(FIND "${text}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the help document lacks \"${expected}\"")
  endif()
endforeach()
message(STATUS "help document: ${size} bytes, text as expected")
