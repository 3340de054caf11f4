# Windows has no system Qt: a program finds Qt's DLLs beside itself, its platform and style plugins
# in platforms/ and styles/ beside itself, and Qt's own texts in translations/ (PlatformTranslations).
# The build folder gets that layout, so the console and its tests run there under Wine as installed.

# Qt built from Debian's source has no translations of its own; Debian's qt6-translations-l10n
# carries them for the same Qt version.
if(CMAKE_CROSSCOMPILING)
  set(lumora_qt_translations_default /usr/share/qt6/translations)
else()
  set(lumora_qt_translations_default ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_TRANSLATIONS})
endif()
set(LUMORA_QT_TRANSLATIONS_DIR ${lumora_qt_translations_default} CACHE PATH
  "Folder with Qt's own translations (qtbase_*.qm) of the Qt version the console is built with")
file(GLOB lumora_qt_translations ${LUMORA_QT_TRANSLATIONS_DIR}/qtbase_*.qm)
if(NOT lumora_qt_translations)
  message(FATAL_ERROR "No qtbase_*.qm in ${LUMORA_QT_TRANSLATIONS_DIR}: set LUMORA_QT_TRANSLATIONS_DIR")
endif()

# lumora_qt_beside_program(<target> <Qt module>...): after each build, copies the modules' DLLs, the
# windows and offscreen platform plugins, the Windows style and the translations beside target.
function(lumora_qt_beside_program target)
  set(dlls)
  foreach(module ${ARGN})
    list(APPEND dlls $<TARGET_FILE:Qt6::${module}>)
  endforeach()
  set(folder $<TARGET_FILE_DIR:${target}>)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${dlls} ${folder}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}/platforms ${folder}/styles ${folder}/translations
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>
      $<TARGET_FILE:Qt6::QOffscreenIntegrationPlugin> ${folder}/platforms
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:Qt6::QWindowsVistaStylePlugin> ${folder}/styles
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${lumora_qt_translations} ${folder}/translations
    VERBATIM)
endfunction()
