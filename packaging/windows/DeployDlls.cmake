# Run by `cmake --install` once the program and Qt's plugins are in the folder: copies beside the
# program each DLL that a binary in the folder imports and that one of lumora_dll_dirs holds (Qt's
# and the compiler's runtime), then the DLLs those import in turn. A name none of them holds is left
# to Windows' system folder. Windows matches DLL names whatever their case, and so does this.
cmake_policy(VERSION 3.25)
set(folder "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

foreach(dir IN LISTS lumora_dll_dirs)
  file(GLOB candidates "${dir}/*")
  foreach(candidate IN LISTS candidates)
    get_filename_component(name "${candidate}" NAME)
    string(TOLOWER "${name}" key)
    # The first folder that holds a name is the one it comes from.
    if(key MATCHES "\\.dll$" AND NOT DEFINED offered_${key})
      set(offered_${key} "${candidate}")
    endif()
  endforeach()
endforeach()

file(GLOB_RECURSE queue "${folder}/*")
list(FILTER queue INCLUDE REGEX "\\.([Ee][Xx][Ee]|[Dd][Ll][Ll])$")
file(GLOB present "${folder}/*")
set(beside_program "")
foreach(path IN LISTS present)
  get_filename_component(name "${path}" NAME)
  string(TOLOWER "${name}" key)
  list(APPEND beside_program "${key}")
endforeach()

while(queue)
  list(POP_FRONT queue binary)
  execute_process(COMMAND "${lumora_objdump}" -p "${binary}" OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${lumora_objdump} could not read the imports of ${binary}")
  endif()
  string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
  foreach(import IN LISTS imports)
    string(REGEX REPLACE "^DLL Name: *" "" name "${import}")
    string(STRIP "${name}" name)
    string(TOLOWER "${name}" key)
    if(DEFINED offered_${key} AND NOT key IN_LIST beside_program)
      file(INSTALL "${offered_${key}}" DESTINATION "${folder}")
      get_filename_component(copied "${offered_${key}}" NAME)
      list(APPEND beside_program "${key}")
      list(APPEND queue "${folder}/${copied}")
    endif()
  endforeach()
endwhile()

# `cmake --install --strip` strips the targets it installs; the DLLs and plugins from Qt and the
# compiler are stripped with them, which takes out their symbol tables and keeps their exports.
if(CMAKE_INSTALL_DO_STRIP)
  file(GLOB_RECURSE binaries "${folder}/*")
  list(FILTER binaries INCLUDE REGEX "\\.([Ee][Xx][Ee]|[Dd][Ll][Ll])$")
  foreach(binary IN LISTS binaries)
    execute_process(COMMAND "${lumora_strip}" "${binary}" COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
endif()
