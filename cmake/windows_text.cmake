# Writes a text file as a Windows user receives it: @PROJECT_VERSION@ filled
# in, CR LF line ends. Run as: cmake -DIN=... -DOUT=... -DPROJECT_VERSION=... -P windows_text.cmake
file(READ ${IN} text)
string(CONFIGURE "${text}" text @ONLY)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE ${OUT} "${text}")
