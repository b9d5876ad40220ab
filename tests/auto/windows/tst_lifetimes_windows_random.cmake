# The host's application object with its dialog factory; the plugin it links exports only its
# entry points and the dialog-API members, so the test links the module body itself.
list(APPEND CV_TEST_EXTRA_LIBS harborhost)
