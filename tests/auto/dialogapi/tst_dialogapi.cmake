# The dialog-API members are tested where the host finds them: in the module library.
set(CV_TEST_LINK_MODULE OFF)
list(APPEND CV_TEST_EXTRA_LIBS qt_plugin_core vessel tdroot)
