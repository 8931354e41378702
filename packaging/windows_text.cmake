# Writes the UTF-8 text INPUT to OUTPUT as a Windows user's editor reads a
# plain text file: Windows-1251 bytes, CR LF line ends.
execute_process(COMMAND iconv -f UTF-8 -t WINDOWS-1251 "${INPUT}"
    OUTPUT_VARIABLE text
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${INPUT} cannot be written in Windows-1251")
endif()
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
