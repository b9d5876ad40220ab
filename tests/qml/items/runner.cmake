# The image item's document again at device pixel ratio 2.
add_test(NAME qml/items/tst_ImageItem_ratio2
    COMMAND ${runner} -import ${CORVANE_QML_DIR} -input ${area_dir}/tst_ImageItem.qml)
cv_test_properties(qml/items/tst_ImageItem_ratio2)
set_property(TEST qml/items/tst_ImageItem_ratio2 APPEND PROPERTY ENVIRONMENT QT_SCALE_FACTOR=2)
