# Converts the demo save with orvella-cli convert --tables: a folder with a broken table file stops the
# command with a message naming the file and the line and leaves the save untouched; a folder whose base
# topic table replaces the built-in one gives a journal marked with that table's topics only; the tables
# that orvella-cli tables writes are taken as they are.
#
#   cmake -DCLI=orvella-cli -DDEMO=orvella-demo [-DEMULATOR=wine] -DWORK=folder -P ConvertWithTables.cmake
#
# Under an emulator the folders are handed over as Windows paths (Z: is the root of the Linux file system
# under Wine).

foreach(variable CLI DEMO WORK)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "${variable} is not set")
    endif()
endforeach()

set(saveName "Demo0001.ess")
set(game "${WORK}/game")
set(tables "${WORK}/tables")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${tables}")

function(argumentPath path result)
    if(EMULATOR)
        file(REAL_PATH "${path}" real)
        string(REPLACE "/" "\\" windowsPath "Z:${real}")
        set(${result} "${windowsPath}" PARENT_SCOPE)
    else()
        set(${result} "${path}" PARENT_SCOPE)
    endif()
endfunction()

execute_process(COMMAND ${EMULATOR} "${DEMO}" "${WORK}/game" RESULT_VARIABLE exitCode OUTPUT_QUIET)
if(NOT exitCode STREQUAL "0")
    message(FATAL_ERROR "orvella-demo exited with ${exitCode}")
endif()
argumentPath("${game}" gameArgument)
argumentPath("${tables}" tablesArgument)
argumentPath("${WORK}/absent" absentArgument)
file(COPY_FILE "${game}/Saves/${saveName}" "${WORK}/original.ess")

# convert(tablesFolder exitCodeVariable outputVariable)
function(convert folder exitVariable outputVariable)
    execute_process(
        COMMAND ${EMULATOR} "${CLI}" convert --game "${gameArgument}" --tables "${folder}" "${saveName}"
        RESULT_VARIABLE exitCode
        OUTPUT_VARIABLE output
        ERROR_VARIABLE output)
    set(${exitVariable} "${exitCode}" PARENT_SCOPE)
    set(${outputVariable} "${output}" PARENT_SCOPE)
endfunction()

function(expectUntouched what)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/original.ess" "${game}/Saves/${saveName}"
                    RESULT_VARIABLE differs)
    if(differs)
        message(FATAL_ERROR "${what}: the save was changed")
    endif()
    if(EXISTS "${game}/LRK Saves Backup/${saveName}.bak" OR EXISTS "${game}/Saves/${saveName}.log")
        message(FATAL_ERROR "${what}: a backup or a log was written")
    endif()
endfunction()

# The second row is longer than the first: the base table must run longest first.
file(WRITE "${tables}/BaseTopicTable.tsv" "english\titalian\nshort\tcorto\nlonger topic\targomento lungo\n")
convert("${tablesArgument}" exitCode output)
if(NOT exitCode STREQUAL "1")
    message(FATAL_ERROR "a broken table: exit ${exitCode} instead of 1:\n${output}")
endif()
string(FIND "${output}" "BaseTopicTable.tsv" namesFile)
string(FIND "${output}" "riga 3" namesLine)
if(namesFile EQUAL -1 OR namesLine EQUAL -1)
    message(FATAL_ERROR "a broken table: the message names neither the file nor the line:\n${output}")
endif()
expectUntouched("a broken table")

convert("${absentArgument}" exitCode output)
if(NOT exitCode STREQUAL "1")
    message(FATAL_ERROR "a missing tables folder: exit ${exitCode} instead of 1:\n${output}")
endif()
expectUntouched("a missing tables folder")

# Only "diary" is a topic now; the built-in "tip" and "Vos" are not, nor the rumours' topic, which only the
# game's files pair: the player's table is the whole table.
file(WRITE "${tables}/BaseTopicTable.tsv" "english\titalian\ndiary\tdiario\n")
convert("${tablesArgument}" exitCode output)
if(NOT exitCode STREQUAL "0")
    message(FATAL_ERROR "a replaced table: exit ${exitCode} instead of 0:\n${output}")
endif()
file(STRINGS "${game}/Saves/${saveName}" journal REGEX "trova il suo")
if(NOT journal MATCHES "@diario#" OR journal MATCHES "@premio#" OR journal MATCHES "@Vos#"
   OR journal MATCHES "@dicerie demo#")
    message(FATAL_ERROR "a replaced table: the journal is not marked with its topics:\n${journal}")
endif()

# orvella-cli tables writes the built-in rows and the derived pair into a folder it makes, reports the
# plugin's own topic, and its files convert as --tables.
argumentPath("${WORK}" workArgument)
execute_process(COMMAND ${EMULATOR} "${CLI}" tables --game "${gameArgument}" --out "${workArgument}/exported/all"
                RESULT_VARIABLE exitCode OUTPUT_VARIABLE output ERROR_VARIABLE output)
string(FIND "${output}" "BaseTopicTable.tsv: 4 rows, 3 built-in and 1 derived (1 by response ids, 0 by conditions)" counted)
string(FIND "${output}" "\"voci del porto\": no response in common" reported)
if(NOT exitCode STREQUAL "0" OR counted EQUAL -1 OR reported EQUAL -1 OR EXISTS "${WORK}/exported/all/TribunalTopicTable.tsv")
    message(FATAL_ERROR "orvella-cli tables: exit ${exitCode}:\n${output}")
endif()
file(READ "${WORK}/exported/all/BaseTopicTable.tsv" exported)
if(NOT exported STREQUAL "english\titalian\nImperial Office of Census and Excise\tUfficio Imperiale del Censo e delle Imposte\ndemo rumours\tdicerie demo\ntip\tpremio\nVos\tVos\n")
    message(FATAL_ERROR "orvella-cli tables wrote:\n${exported}")
endif()
file(COPY_FILE "${WORK}/original.ess" "${game}/Saves/${saveName}")
argumentPath("${WORK}/exported/all" exportedArgument)
convert("${exportedArgument}" exitCode output)
file(STRINGS "${game}/Saves/${saveName}" journal REGEX "trova il suo")
if(NOT exitCode STREQUAL "0" OR NOT journal MATCHES "@dicerie demo#" OR NOT journal MATCHES "@premio#")
    message(FATAL_ERROR "the exported tables: exit ${exitCode}, journal:\n${journal}\n${output}")
endif()
# A folder that cannot be made, where a file stands.
execute_process(COMMAND ${EMULATOR} "${CLI}" tables --game "${gameArgument}" --out "${workArgument}/original.ess"
                RESULT_VARIABLE exitCode OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT exitCode STREQUAL "1")
    message(FATAL_ERROR "orvella-cli tables into a file: exit ${exitCode} instead of 1:\n${output}")
endif()
file(REMOVE_RECURSE "${WORK}")
