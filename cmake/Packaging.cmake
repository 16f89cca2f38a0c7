# The release a player downloads (cmake --build --preset P --target package): the programs, the notes for
# players in Italian, the licence and the shipped topic tables as examples of their format. A ZIP for
# Windows, a .tar.gz of orvella-cli elsewhere. Only the "release" component goes in, so no test program
# or library that another part of the build installs can slip into it.
if(WIN32)
    install(TARGETS Orvella orvella-cli RUNTIME DESTINATION . COMPONENT release)
else()
    install(TARGETS orvella-cli RUNTIME DESTINATION . COMPONENT release)
endif()
install(FILES ${PROJECT_SOURCE_DIR}/docs/LEGGIMI.txt ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . COMPONENT release)
install(FILES
    ${PROJECT_SOURCE_DIR}/translate/data/BaseTopicTable.tsv
    ${PROJECT_SOURCE_DIR}/translate/data/TribunalTopicTable.tsv
    ${PROJECT_SOURCE_DIR}/translate/data/BloodmoonTopicTable.tsv
    ${PROJECT_SOURCE_DIR}/translate/data/JournalFixTable.tsv
    DESTINATION Tabelle-esempio COMPONENT release)

set(CPACK_PACKAGE_NAME Orvella)
set(CPACK_PACKAGE_VENDOR "The Orvella authors")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
    "Converts Morrowind saved games between the English and the Italian edition")
if(WIN32)
    set(CPACK_GENERATOR ZIP)
    math(EXPR windowsBits "${CMAKE_SIZEOF_VOID_P} * 8")
    set(CPACK_SYSTEM_NAME win${windowsBits})
else()
    set(CPACK_GENERATOR TGZ)
    string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" CPACK_SYSTEM_NAME)
endif()
set(CPACK_INSTALL_CMAKE_PROJECTS "${CMAKE_BINARY_DIR};${PROJECT_NAME};release;/")
# Symbols would carry the names of the source files and make the download bigger.
set(CPACK_STRIP_FILES ON)
set(CPACK_OUTPUT_FILE_PREFIX packages)
include(CPack)
