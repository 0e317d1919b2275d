# Turns a text file into a C++ source holding it as a byte array,
# so the built-in tables need no file at run time.
# Usage: cmake -DINPUT=... -DOUTPUT=... -DSYMBOL=... -P embed_text.cmake
file(READ "${INPUT}" content HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," body "${content}")
string(REGEX REPLACE "(('\\\\x..',){24})" "\\1\n" body "${body}")
file(WRITE "${OUTPUT}.tmp"
  "// Generated from ${INPUT}; do not edit.\n"
  "#include <string_view>\n"
  "namespace klemora::resources {\n"
  "static const char k${SYMBOL}Data[] = {\n${body}'\\0'};\n"
  "std::string_view ${SYMBOL}() { return {k${SYMBOL}Data, sizeof(k${SYMBOL}Data) - 1}; }\n"
  "}\n")
file(RENAME "${OUTPUT}.tmp" "${OUTPUT}")
