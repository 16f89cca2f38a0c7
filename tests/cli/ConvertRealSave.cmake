# Converts a real save with orvella-cli in a fresh game folder and checks that it passes through byte for
# byte, that its backup is made and that its log is deleted.
#
#   cmake -DCLI=path/to/orvella-cli [-DEMULATOR=wine] -DSAVE=path/to/X.ess -DWORK=folder -P ConvertRealSave.cmake
#
# Under an emulator the game folder is handed over as a Windows path (Z: is the root of the Linux file
# system under Wine), so the job's "\\Saves\\" concatenation runs as it does on Windows.

foreach(variable CLI SAVE WORK)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "${variable} is not set")
    endif()
endforeach()

get_filename_component(saveName "${SAVE}" NAME)
set(game "${WORK}/game")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${game}/Data Files" "${game}/Saves" "${game}/LRK Saves Backup")
file(COPY_FILE "${SAVE}" "${game}/Saves/${saveName}")
# The shared saves are read-only; a player's save is not.
file(CHMOD "${game}/Saves/${saveName}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

if(EMULATOR)
    file(REAL_PATH "${game}" gameArgument)
    string(REPLACE "/" "\\" gameArgument "Z:${gameArgument}")
else()
    set(gameArgument "${game}")
endif()

execute_process(
    COMMAND ${EMULATOR} "${CLI}" convert --game "${gameArgument}" "${saveName}"
    RESULT_VARIABLE exitCode
    OUTPUT_VARIABLE output
    ERROR_VARIABLE output)
if(NOT exitCode STREQUAL "0")
    message(FATAL_ERROR "orvella-cli exited with ${exitCode}:\n${output}")
endif()

execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${SAVE}" "${game}/Saves/${saveName}"
                RESULT_VARIABLE differs)
if(differs)
    message(FATAL_ERROR "the converted save differs from the original:\n${output}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${SAVE}" "${game}/LRK Saves Backup/${saveName}.bak"
                RESULT_VARIABLE differs)
if(differs)
    message(FATAL_ERROR "the backup is missing or differs from the original save:\n${output}")
endif()
foreach(leftover "${saveName}.log" "${saveName}.tmp")
    if(EXISTS "${game}/Saves/${leftover}")
        message(FATAL_ERROR "Saves/${leftover} was left behind:\n${output}")
    endif()
endforeach()
file(GLOB saves RELATIVE "${game}/Saves" "${game}/Saves/*")
if(NOT saves STREQUAL saveName)
    message(FATAL_ERROR "Saves holds ${saves} instead of just ${saveName}")
endif()
file(REMOVE_RECURSE "${WORK}")
