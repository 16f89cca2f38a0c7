# Writes a C++ source that holds the bytes of INPUT as a constant array named NAME, so the data reaches the
# program without any change of encoding.
file(READ "${INPUT}" content HEX)
string(LENGTH "${content}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${content}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}.new"
    "// Generated from ${INPUT_NAME} by cmake/EmbedFile.cmake.\n"
    "#include <cstddef>\n\n"
    "namespace orvella::data {\n"
    "extern const unsigned char ${NAME}[] = {\n    ${bytes}0x00};\n"
    "extern const std::size_t ${NAME}Size = ${size};\n"
    "} // namespace orvella::data\n")
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")
