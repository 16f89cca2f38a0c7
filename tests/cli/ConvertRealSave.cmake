# Converts a real save with orvella-cli, against the demo game's master and translation plugin, to Italian
# and back twice, and checks that nothing is lost: every conversion succeeds, every backup holds the save as
# it was, no temporary file stays, and the second round trip gives the bytes of the first.
#
#   cmake -DCLI=orvella-cli -DDEMO=orvella-demo [-DEMULATOR=wine] -DSAVE=X.ess -DWORK=folder -P ConvertRealSave.cmake
#
# Under an emulator the game folder is handed over as a Windows path (Z: is the root of the Linux file
# system under Wine), so the job's "\\Saves\\" concatenation runs as it does on Windows.

foreach(variable CLI DEMO SAVE WORK)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "${variable} is not set")
    endif()
endforeach()

get_filename_component(saveName "${SAVE}" NAME)
set(game "${WORK}/game")
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
if(EMULATOR)
    file(REAL_PATH "${WORK}" workPath)
    string(REPLACE "/" "\\" gameArgument "Z:${workPath}/game")
else()
    set(gameArgument "${game}")
endif()

execute_process(COMMAND ${EMULATOR} "${DEMO}" "${gameArgument}" RESULT_VARIABLE exitCode OUTPUT_QUIET)
if(NOT exitCode STREQUAL "0")
    message(FATAL_ERROR "orvella-demo exited with ${exitCode}")
endif()
# The real saves use both expansions: the demo's files stand in for their masters and the Bloodmoon plugin.
set(data "${game}/Data Files")
file(COPY_FILE "${data}/Morrowind.esm" "${data}/Tribunal.esm")
file(COPY_FILE "${data}/Morrowind.esm" "${data}/Bloodmoon.esm")
file(COPY_FILE "${data}/Morrowind LRK - Versione Finale.esp" "${data}/Bloodmoon LRK - Versione Finale.esp")
file(GLOB demoSaves "${game}/Saves/*")
file(REMOVE ${demoSaves})
file(COPY_FILE "${SAVE}" "${game}/Saves/${saveName}")
# The shared saves are read-only; a player's save is not.
file(CHMOD "${game}/Saves/${saveName}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

set(current "${SAVE}")
foreach(step 1 2 3 4)
    execute_process(
        COMMAND ${EMULATOR} "${CLI}" convert --game "${gameArgument}" "${saveName}"
        RESULT_VARIABLE exitCode
        OUTPUT_VARIABLE output
        ERROR_VARIABLE output)
    if(NOT exitCode STREQUAL "0")
        message(FATAL_ERROR "conversion ${step}: orvella-cli exited with ${exitCode}:\n${output}")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${current}" "${game}/LRK Saves Backup/${saveName}.bak"
                    RESULT_VARIABLE differs)
    if(differs)
        message(FATAL_ERROR "conversion ${step}: the backup differs from the save as it was:\n${output}")
    endif()
    if(EXISTS "${game}/Saves/${saveName}.tmp")
        message(FATAL_ERROR "conversion ${step}: the temporary file was left behind")
    endif()
    set(current "${WORK}/after-${step}.ess")
    file(COPY_FILE "${game}/Saves/${saveName}" "${current}")
endforeach()

file(READ "${WORK}/after-1.ess" italian HEX)
string(HEX "Morrowind LRK - Versione Finale.esp" plugin)
string(FIND "${italian}" "${plugin}" found)
if(found EQUAL -1)
    message(FATAL_ERROR "the Italian save does not list the translation plugin")
endif()
foreach(pair "1;3" "2;4")
    list(GET pair 0 first)
    list(GET pair 1 second)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/after-${first}.ess" "${WORK}/after-${second}.ess"
                    RESULT_VARIABLE differs)
    if(differs)
        message(FATAL_ERROR "conversions ${first} and ${second} differ: a round trip is not a fixed point")
    endif()
endforeach()
file(REMOVE_RECURSE "${WORK}")
