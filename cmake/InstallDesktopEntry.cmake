# Writes the desktop entry into the installed program folder, with that folder's path filled in.
# The path is known only at install time (cmake --install --prefix), hence a script, not
# configure_file. Expects TAVREL_DESKTOP_IN and TAVREL_FOLDER_NAME.
set(folder "${CMAKE_INSTALL_PREFIX}/${TAVREL_FOLDER_NAME}")
cmake_path(NORMAL_PATH folder)
string(REGEX REPLACE "(.)/$" "\\1" folder "${folder}")

# A string value escapes the backslash; Exec quotes its argument, escapes the characters the
# quoting reserves and doubles the percent sign of field codes.
string(REPLACE "\\" "\\\\" plain "${folder}")
set(exec "${folder}/tavrel")
string(REGEX REPLACE "([\"`$\\\\])" "\\\\\\1" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
string(REPLACE "\\" "\\\\" exec "\"${exec}\"")
set(TAVREL_DESKTOP_EXEC "${exec}")
set(TAVREL_DESKTOP_PATH "${plain}")
set(TAVREL_DESKTOP_ICON "${plain}/tavrel.png")

file(READ "${TAVREL_DESKTOP_IN}" entry)
string(CONFIGURE "${entry}" entry @ONLY)
set(target "$ENV{DESTDIR}${folder}/tavrel.desktop")
message(STATUS "Installing: ${target}")
file(WRITE "${target}" "${entry}")
file(CHMOD "${target}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
     WORLD_READ WORLD_EXECUTE)
