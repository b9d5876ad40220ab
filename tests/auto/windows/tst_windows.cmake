# The host's application object with its dialog factory links the module library, which already
# holds the module body: linking the body a second time would duplicate its globals.
set(CV_TEST_LINK_MODULE OFF)
list(APPEND CV_TEST_EXTRA_LIBS harborhost)
