# The table proxy and its column menu model. The proxy is split by concern; its private record is in
# sortfilterselectmodel_p.h.
target_sources(corvanecore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/sortfilterselectmodel.h ${CMAKE_CURRENT_LIST_DIR}/sortfilterselectmodel_p.h
    ${CMAKE_CURRENT_LIST_DIR}/sortfilterselectmodel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sortfilterselectmodel_selection.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sortfilterselectmodel_columns.cpp
    ${CMAKE_CURRENT_LIST_DIR}/sortfilterselectmodel_sorting.cpp
    ${CMAKE_CURRENT_LIST_DIR}/naturalsortkey_p.h ${CMAKE_CURRENT_LIST_DIR}/naturalsortkey.cpp
    ${CMAKE_CURRENT_LIST_DIR}/columncontextmenumodel.h ${CMAKE_CURRENT_LIST_DIR}/columncontextmenumodel.cpp)
