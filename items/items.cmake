# Themed image paths, the image item and text measuring.
target_sources(corvanecore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/qtutils.h ${CMAKE_CURRENT_LIST_DIR}/qtutils.cpp
    ${CMAKE_CURRENT_LIST_DIR}/imageitem.h ${CMAKE_CURRENT_LIST_DIR}/imageitem.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qtfontutils.h ${CMAKE_CURRENT_LIST_DIR}/qtfontutils.cpp)
