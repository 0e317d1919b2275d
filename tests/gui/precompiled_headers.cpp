// Compiles the test programs' precompiled headers (see CMakeLists.txt).
