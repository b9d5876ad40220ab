# The smaller model helpers.
target_sources(corvanecore PRIVATE
    ${CMAKE_CURRENT_LIST_DIR}/sortfiltermodel.h ${CMAKE_CURRENT_LIST_DIR}/sortfiltermodel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/identityproxymodel.h ${CMAKE_CURRENT_LIST_DIR}/identityproxymodel.cpp
    ${CMAKE_CURRENT_LIST_DIR}/proxysource_p.h
    ${CMAKE_CURRENT_LIST_DIR}/modelwatcher.h ${CMAKE_CURRENT_LIST_DIR}/modelwatcher.cpp
    ${CMAKE_CURRENT_LIST_DIR}/treeexpandconnections.h ${CMAKE_CURRENT_LIST_DIR}/treeexpandconnections.cpp
    ${CMAKE_CURRENT_LIST_DIR}/subtreewalk_p.h
    ${CMAKE_CURRENT_LIST_DIR}/qtmodelutils.h ${CMAKE_CURRENT_LIST_DIR}/qtmodelutils.cpp
    ${CMAKE_CURRENT_LIST_DIR}/qtvaluewrapper.h ${CMAKE_CURRENT_LIST_DIR}/qtvaluewrapper.cpp)
