# The host's application object with its dialog factory.
list(APPEND CV_TEST_EXTRA_LIBS harborhost)
