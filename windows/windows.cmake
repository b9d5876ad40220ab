# Message dialog, popup, tooltip, key filter and override cursor.
target_sources(corvanecore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/messagedialog.h ${CMAKE_CURRENT_LIST_DIR}/messagedialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/transientpopup.h ${CMAKE_CURRENT_LIST_DIR}/transientpopup_p.h
    ${CMAKE_CURRENT_LIST_DIR}/transientpopup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/systemtooltip.h ${CMAKE_CURRENT_LIST_DIR}/systemtooltip.cpp
    ${CMAKE_CURRENT_LIST_DIR}/keyeventfilter.h ${CMAKE_CURRENT_LIST_DIR}/keyeventfilter.cpp
    ${CMAKE_CURRENT_LIST_DIR}/cursorchanger.h ${CMAKE_CURRENT_LIST_DIR}/cursorchanger.cpp)
