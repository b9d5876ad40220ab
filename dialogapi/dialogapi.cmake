# Exported members of the dialog library's types live in the plugin itself so the linker keeps them.
target_sources(qt_plugin_core PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/dialogapi_export.h
    ${CMAKE_CURRENT_LIST_DIR}/dialogapi.cpp)
