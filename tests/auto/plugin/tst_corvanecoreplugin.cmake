# Loads the built plugin like the QML engine does instead of linking the module body.
set(CV_TEST_LINK_MODULE OFF)
