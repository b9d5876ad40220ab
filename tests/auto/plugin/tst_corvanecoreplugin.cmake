# Loads the built plugin like the QML engine does instead of linking the module body.
set(CV_TEST_LINK_MODULE OFF)
# The plugin exports its entry points and the dialog-API members only, never the module's own.
add_test(NAME plugin/exports COMMAND ${CMAKE_COMMAND} -DLIBRARY=$<TARGET_FILE:qt_plugin_core> -DNM=${CMAKE_NM}
    -DQT_MAJOR_VERSION=${QT_MAJOR_VERSION}
    -P ${CMAKE_CURRENT_LIST_DIR}/exports.cmake)
