# Converts a save with orvella-cli, the demo's own or a real one against the demo game's master and
# translation plugin, to Italian and back twice, and checks that nothing is lost: every conversion succeeds,
# every backup holds the save as it was, no temporary file stays, the second round trip gives the bytes of
# the first, and a restore puts the last backup back. A dry run goes before each conversion: it leaves the
# game folder file for file and byte for byte as it was, with the same permission bits and modification
# times, and prints what the conversion after it prints, then the log that conversion keeps and the status it
# exits with. With -DOPENMW=1 the save
# is an OpenMW save (the demo's, or a real one put in a character's folder), found through the demo's
# openmw.cfg; the demo's comes back byte for byte after one round trip.
#
#   cmake -DCLI=orvella-cli -DDEMO=orvella-demo [-DEMULATOR=wine] [-DOPENMW=1] [-DSAVE=X.ess|X.omwsave]
#         -DWORK=folder -P ConvertSave.cmake
#
# Under an emulator the game folder is handed over as a Windows path (Z: is the root of the Linux file
# system under Wine), so the job's "\\Saves\\" concatenation runs as it does on Windows, and the program
# prints the log's Windows-1252 bytes as they are; natively it prints them as UTF-8.

foreach(variable CLI DEMO WORK)
    if(NOT DEFINED ${variable})
        message(FATAL_ERROR "${variable} is not set")
    endif()
endforeach()

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
# Where the save, its backup and its log are, and how the console finds them.
if(OPENMW)
    set(character "Nerevar")
    set(saveName "Demo.omwsave")
    if(SAVE)
        set(character "Real")
    endif()
    set(savesFolder "${game}/OpenMW/saves/${character}")
    set(backupFolder "${game}/OpenMW/LRK Saves Backup/${character}")
    set(saveArgument "${character}/")
    set(locationArguments --openmw --config "${gameArgument}/openmw.cfg")
    if(EMULATOR)
        set(locationArguments --openmw --config "${gameArgument}\\openmw.cfg")
    endif()
else()
    set(saveName "Demo0001.ess")
    set(savesFolder "${game}/Saves")
    set(backupFolder "${game}/LRK Saves Backup")
    set(saveArgument "")
    set(locationArguments --game "${gameArgument}")
endif()
if(SAVE)
    # The real saves use both expansions: the demo's files stand in for their masters and the Bloodmoon
    # plugin.
    get_filename_component(saveName "${SAVE}" NAME)
    set(data "${game}/Data Files")
    file(COPY_FILE "${data}/Morrowind.esm" "${data}/Tribunal.esm")
    file(COPY_FILE "${data}/Morrowind.esm" "${data}/Bloodmoon.esm")
    file(COPY_FILE "${data}/Morrowind LRK - Versione Finale.esp" "${data}/Bloodmoon LRK - Versione Finale.esp")
    file(GLOB demoSaves "${savesFolder}/*")
    if(demoSaves)
        file(REMOVE ${demoSaves})
    endif()
    file(MAKE_DIRECTORY "${savesFolder}")
    file(COPY_FILE "${SAVE}" "${savesFolder}/${saveName}")
    # The shared saves are read-only; a player's save is not.
    file(CHMOD "${savesFolder}/${saveName}" FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endif()
string(APPEND saveArgument "${saveName}")
set(savePath "${savesFolder}/${saveName}")
set(logFile "${savesFolder}/${saveName}.log")
if(OPENMW)
    string(REGEX REPLACE "\\.omwsave$" "" stem "${saveName}")
    set(logFile "${backupFolder}/${stem}.log")
endif()
set(current "${WORK}/original")
file(COPY_FILE "${savePath}" "${current}")

# Every file and folder of the game with its type, permission bits, size, modification time and hash.
function(listing result)
    file(GLOB_RECURSE entries LIST_DIRECTORIES true "${game}/*")
    list(SORT entries)
    execute_process(COMMAND stat -c "%A %s %.9Y %n" ${entries} OUTPUT_VARIABLE stats RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "stat failed on the game folder")
    endif()
    set(hashes "")
    foreach(entry ${entries})
        if(NOT IS_DIRECTORY "${entry}")
            file(SHA256 "${entry}" hash)
            string(APPEND hashes "${hash} ${entry}\n")
        endif()
    endforeach()
    set(${result} "${stats}${hashes}" PARENT_SCOPE)
endfunction()

# convert([--dry-run]) sets exit, out and err; the console's CR LF line ends under Windows become LF.
macro(convert)
    execute_process(
        COMMAND ${EMULATOR} "${CLI}" convert ${ARGN} ${locationArguments} "${saveArgument}"
        RESULT_VARIABLE exit
        OUTPUT_VARIABLE out
        ERROR_VARIABLE err)
    string(REPLACE "\r\n" "\n" out "${out}")
    string(REPLACE "\r\n" "\n" err "${err}")
endmacro()

foreach(step 1 2 3 4)
    listing(before)
    convert(--dry-run)
    set(dryExit "${exit}")
    set(dryOut "${out}")
    set(dryErr "${err}")
    listing(after)
    if(NOT before STREQUAL after)
        message(FATAL_ERROR "dry run ${step} changed the game folder.\nBefore:\n${before}\nAfter:\n${after}")
    endif()

    convert()
    if(NOT exit STREQUAL "0")
        message(FATAL_ERROR "conversion ${step}: orvella-cli exited with ${exit}:\n${out}${err}")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${current}" "${backupFolder}/${saveName}.bak"
                    RESULT_VARIABLE differs)
    if(differs)
        message(FATAL_ERROR "conversion ${step}: the backup differs from the save as it was:\n${out}${err}")
    endif()
    if(EXISTS "${savePath}.tmp" OR EXISTS "${logFile}.tmp")
        message(FATAL_ERROR "conversion ${step}: a temporary file was left behind")
    endif()
    set(current "${WORK}/after-${step}")
    file(COPY_FILE "${savePath}" "${current}")

    set(log "")
    if(EXISTS "${logFile}")
        if(EMULATOR)
            file(READ "${logFile}" logText)
        else()
            execute_process(COMMAND iconv -f WINDOWS-1252 -t UTF-8 INPUT_FILE "${logFile}"
                            OUTPUT_VARIABLE logText RESULT_VARIABLE failed)
            if(failed)
                message(FATAL_ERROR "conversion ${step}: iconv could not read the log")
            endif()
        endif()
        string(REPLACE "\r\n" "\n" logText "${logText}")
        set(log "==== the log, as the conversion would keep it ====\n${logText}==== end of the log ====\n")
    endif()
    set(expected "Dry run: the conversion runs in memory, and nothing is written.\n${out}${log}")
    string(APPEND expected "Dry run: nothing was written; the conversion would exit with ${exit}.\n")
    if(NOT dryExit STREQUAL exit OR NOT dryErr STREQUAL err OR NOT dryOut STREQUAL expected)
        message(FATAL_ERROR "dry run ${step} exited with ${dryExit} and printed\n${dryOut}${dryErr}\n"
                            "where the conversion exited with ${exit} and gave\n${expected}${err}")
    endif()
endforeach()

file(READ "${WORK}/after-1" italian HEX)
string(HEX "Morrowind LRK - Versione Finale.esp" plugin)
string(FIND "${italian}" "${plugin}" found)
if(found EQUAL -1)
    message(FATAL_ERROR "the Italian save does not list the translation plugin")
endif()
foreach(pair "1;3" "2;4")
    list(GET pair 0 first)
    list(GET pair 1 second)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/after-${first}" "${WORK}/after-${second}"
                    RESULT_VARIABLE differs)
    if(differs)
        message(FATAL_ERROR "conversions ${first} and ${second} differ: a round trip is not a fixed point")
    endif()
endforeach()
# The restore puts the last backup, the save before the fourth conversion, back in its place.
execute_process(COMMAND ${EMULATOR} "${CLI}" restore --yes ${locationArguments} "${saveArgument}"
                RESULT_VARIABLE exit OUTPUT_VARIABLE out ERROR_VARIABLE err)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/after-3" "${savePath}" RESULT_VARIABLE differs)
if(NOT exit STREQUAL "0" OR differs OR EXISTS "${backupFolder}/${saveName}.bak")
    message(FATAL_ERROR "the restore exited with ${exit} and did not put the backup in place:\n${out}${err}")
endif()
if(OPENMW AND NOT SAVE)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/original" "${WORK}/after-2"
                    RESULT_VARIABLE differs)
    if(differs)
        message(FATAL_ERROR "the demo's OpenMW save does not come back byte for byte from Italian")
    endif()
endif()
file(REMOVE_RECURSE "${WORK}")
