# The host's application object links the module library, which holds the module body; QML engines
# of the test load that same library, so objects made in QML and in C++ share one set of classes.
set(CV_TEST_LINK_MODULE OFF)
list(APPEND CV_TEST_EXTRA_LIBS harborhost)
