# cmake -DBUILD_DIR=<build> -DOUTPUT_DIR=<dir> -DVERSION=<x.y.z.w> -P MakePackage.cmake
# Lays out the console's folder with `cmake --install` in <dir>/lumora-dmx-<version>, and makes from
# it <dir>/lumora-dmx-<version>-setup.exe with NSIS and <dir>/lumora-dmx-<version>-win64.zip.
cmake_minimum_required(VERSION 3.25)

find_program(makensis makensis)
find_program(zip zip)
if(NOT makensis OR NOT zip)
  message(FATAL_ERROR "makensis and zip are needed (Debian: nsis, zip; tools/install-deps.sh installs them)")
endif()

set(name lumora-dmx-${VERSION})
set(folder ${OUTPUT_DIR}/${name})
# A file left from an earlier layout would otherwise be carried along.
file(REMOVE_RECURSE ${folder})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${folder} --strip OUTPUT_QUIET
  COMMAND_ERROR_IS_FATAL ANY)

# The uninstaller removes what the setup program installed, file by file, and then each folder
# once empty, so that nothing else in a folder the user chose is lost.
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${folder} ${folder}/*)
list(SORT files)
set(install_lines "")
set(remove_lines "")
set(folders "")
foreach(file IN LISTS files)
  string(REPLACE "/" "\\" windows_path "${file}")
  string(APPEND install_lines "  File \"/oname=${windows_path}\" \"${folder}/${file}\"\n")
  string(APPEND remove_lines "  Delete \"$INSTDIR\\${windows_path}\"\n")
  get_filename_component(dir "${file}" DIRECTORY)
  while(dir AND NOT dir IN_LIST folders)
    list(APPEND folders "${dir}")
    get_filename_component(dir "${dir}" DIRECTORY)
  endwhile()
endforeach()
set(create_lines "")
list(SORT folders)
foreach(dir IN LISTS folders)
  string(REPLACE "/" "\\" windows_path "${dir}")
  string(APPEND create_lines "  CreateDirectory \"$INSTDIR\\${windows_path}\"\n")
endforeach()
list(REVERSE folders)
foreach(dir IN LISTS folders)
  string(REPLACE "/" "\\" windows_path "${dir}")
  string(APPEND remove_lines "  RMDir \"$INSTDIR\\${windows_path}\"\n")
endforeach()
file(WRITE ${OUTPUT_DIR}/files.nsh
  "!macro InstallFiles\n${create_lines}${install_lines}!macroend\n"
  "!macro RemoveFiles\n${remove_lines}!macroend\n")

set(setup ${OUTPUT_DIR}/${name}-setup.exe)
get_filename_component(script_dir ${CMAKE_SCRIPT_MODE_FILE} DIRECTORY)
execute_process(COMMAND ${makensis} -V2 -DVERSION=${VERSION} -DFILES=${OUTPUT_DIR}/files.nsh
  -DOUTFILE=${setup} ${script_dir}/lumora-dmx.nsi COMMAND_ERROR_IS_FATAL ANY)

set(zip_file ${OUTPUT_DIR}/${name}-win64.zip)
file(REMOVE ${zip_file})
execute_process(COMMAND ${zip} -q -r -X ${zip_file} ${name} WORKING_DIRECTORY ${OUTPUT_DIR}
  COMMAND_ERROR_IS_FATAL ANY)
message(STATUS "Made ${setup} and ${zip_file}")
