# Writes the installed manual page OUT from the page IN (dist/velkarra3d.6),
# filling @VERSION@ and @RELEASE_DATE@ in its .TH line and nowhere else:
#   cmake -DIN=... -DOUT=... -DVERSION=... -DRELEASE_DATE=... -P manpage.cmake
cmake_minimum_required(VERSION 3.25)
file(READ "${IN}" page)
string(REGEX MATCH "(^|\n)\\.TH [^\n]*" header "${page}")
if(NOT header MATCHES "@VERSION@" OR NOT header MATCHES "@RELEASE_DATE@")
  message(FATAL_ERROR "${IN}: its .TH line must hold @RELEASE_DATE@ and @VERSION@, "
    "which the build fills in from CMakeLists.txt")
endif()
string(REPLACE "@VERSION@" "${VERSION}" filled "${header}")
string(REPLACE "@RELEASE_DATE@" "${RELEASE_DATE}" filled "${filled}")
string(FIND "${page}" "${header}" at)
string(LENGTH "${header}" length)
string(SUBSTRING "${page}" 0 ${at} before)
math(EXPR after_at "${at} + ${length}")
string(SUBSTRING "${page}" ${after_at} -1 after)
file(WRITE "${OUT}.new" "${before}${filled}${after}")
file(RENAME "${OUT}.new" "${OUT}")
