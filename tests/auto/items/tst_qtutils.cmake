# Icons of the test's own for the themed lookup: svg/, toolicons/ and bitmaps/ below ":/".
target_sources(${CV_TEST_TARGET} PRIVATE ${CMAKE_CURRENT_LIST_DIR}/resources/items_test.qrc)
