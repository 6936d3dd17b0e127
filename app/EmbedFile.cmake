# cmake -DINPUT=<file> -DOUTPUT=<cpp> -DSYMBOL=<name> -P EmbedFile.cmake
# Writes a C++ file defining <name>Bytes[] with the file's bytes and <name>Size.
file(READ ${INPUT} _hex HEX)
string(LENGTH "${_hex}" _length)
math(EXPR _size "${_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," _bytes "${_hex}")
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){16})" "\\1\n  " _bytes "${_bytes}")
file(WRITE ${OUTPUT} "// Made from ${INPUT} at build time.\n#include <cstddef>\n\n"
  "extern const unsigned char ${SYMBOL}Bytes[] = {\n  ${_bytes}\n};\n"
  "extern const std::size_t ${SYMBOL}Size = ${_size};\n")
