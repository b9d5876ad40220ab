# The table proxy and its column menu model.
target_sources(corvanecore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/sortfilterselectmodel.h ${CMAKE_CURRENT_LIST_DIR}/sortfilterselectmodel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/columncontextmenumodel.h ${CMAKE_CURRENT_LIST_DIR}/columncontextmenumodel.cpp)
