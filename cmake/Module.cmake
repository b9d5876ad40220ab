# The module: its body in a static library that the C++ tests link, the plugin thin on top.
add_library(corvanecore STATIC)
target_include_directories(corvanecore PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_definitions(corvanecore PRIVATE QT_NO_KEYWORDS QT_NO_CAST_FROM_ASCII QT_USE_QSTRINGBUILDER)
# The plugin exports its two entry points and the dialog-API members only: host code with a
# namespace of the same name must not meet the module's symbols.
set_target_properties(corvanecore PROPERTIES CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
target_link_libraries(corvanecore PUBLIC
    Qt::Core Qt::Gui Qt::Qml Qt::Quick Qt::Widgets
    lumen loom vessel harbor tdroot ${wxWidgets_LIBRARIES})

# Each area lists its own files.
include(${CMAKE_SOURCE_DIR}/models/tableproxy.cmake)
include(${CMAKE_SOURCE_DIR}/models/helpers.cmake)
include(${CMAKE_SOURCE_DIR}/items/items.cmake)
include(${CMAKE_SOURCE_DIR}/windows/windows.cmake)

add_library(qt_plugin_core SHARED)
target_sources(qt_plugin_core PRIVATE
    plugin/corvanecoreplugin.h plugin/corvanecoreplugin.cpp
    plugin/coreenums.h plugin/cvenums.h plugin/qtcompat.h)
include(${CMAKE_SOURCE_DIR}/dialogapi/dialogapi.cmake)
target_compile_definitions(qt_plugin_core PRIVATE QT_NO_KEYWORDS QT_NO_CAST_FROM_ASCII QT_USE_QSTRINGBUILDER)
target_link_libraries(qt_plugin_core PRIVATE corvanecore)
set_target_properties(qt_plugin_core PROPERTIES
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON
    PREFIX "lib"
    LIBRARY_OUTPUT_DIRECTORY ${CORVANE_MODULE_DIR}
    BUILD_RPATH ${CMAKE_BINARY_DIR}/lib)

configure_file(${CMAKE_SOURCE_DIR}/plugin/qmldir ${CORVANE_MODULE_DIR}/qmldir COPYONLY)

# Type information for QML tooling, dumped from the freshly built plugin.
# The dumper of the Qt version built against (the one on PATH may belong to the other version);
# Qt 6 calls it deprecated but still dumps plugins that register their types in C++, as this one does.
get_target_property(_qmake Qt${QT_MAJOR_VERSION}::qmake LOCATION)
execute_process(COMMAND ${_qmake} -query QT_INSTALL_BINS OUTPUT_VARIABLE _qtbin OUTPUT_STRIP_TRAILING_WHITESPACE)
find_program(QMLPLUGINDUMP qmlplugindump PATHS ${_qtbin} NO_DEFAULT_PATH REQUIRED)
# A sanitized plugin cannot be loaded into the uninstrumented dumper, so that build skips it.
if(NOT CORVANE_SANITIZE)
add_custom_command(TARGET qt_plugin_core POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen QML2_IMPORT_PATH=${CORVANE_QML_DIR}
            ${QMLPLUGINDUMP} -nonrelocatable -noforceqtquick Corvane.Core 1.0 ${CORVANE_QML_DIR}
            > ${CORVANE_MODULE_DIR}/plugins.qmltypes.tmp
    COMMAND ${CMAKE_COMMAND} -E rename ${CORVANE_MODULE_DIR}/plugins.qmltypes.tmp ${CORVANE_MODULE_DIR}/plugins.qmltypes
    COMMENT "Dumping plugins.qmltypes"
    VERBATIM)
endif()
