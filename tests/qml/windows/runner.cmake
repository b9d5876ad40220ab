# The runner is the host: it creates the application object with real dialog and popup factories.
target_link_libraries(${runner} PRIVATE harborhost)
