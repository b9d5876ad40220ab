# The same test again at device pixel ratio 2.
add_test(NAME items/tst_imageitem_ratio2 COMMAND ${CV_TEST_TARGET})
cv_test_properties(items/tst_imageitem_ratio2)
set_property(TEST items/tst_imageitem_ratio2 APPEND PROPERTY ENVIRONMENT QT_SCALE_FACTOR=2)
