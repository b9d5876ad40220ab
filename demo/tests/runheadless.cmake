# Runs the demo headless: screenshots of every panel, then two starts, the first of which
# rearranges and saves the layer table's columns, the second of which must show them so.
file(REMOVE_RECURSE ${OUT} ${CONFIG})
file(MAKE_DIRECTORY ${OUT} ${CONFIG})

function(run_step name)
    execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${OUT} RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
        message(FATAL_ERROR "demo step '${name}' ended with ${result}")
    endif()
endfunction()

run_step(screenshots ${DEMO} --screenshot ${OUT}/screenshots)
run_step(check-screenshots ${CHECK} ${OUT}/screenshots layers files start)
run_step(first-start ${DEMO} --script ${SCRIPTS}/savelayout.txt)
run_step(second-start ${DEMO} --script ${SCRIPTS}/restorelayout.txt)
# The saved layout differs from the default one, and the second start restored exactly the saved one.
file(READ ${OUT}/default.txt default_layout)
file(READ ${OUT}/saved.txt saved_layout)
file(READ ${OUT}/restored.txt restored_layout)
if(saved_layout STREQUAL "" OR saved_layout STREQUAL default_layout)
    message(FATAL_ERROR "the first start did not change and save the column layout:\n${saved_layout}")
endif()
if(NOT restored_layout STREQUAL saved_layout)
    message(FATAL_ERROR "restored layout\n${restored_layout}\ndiffers from the saved one\n${saved_layout}")
endif()
# The header worked with the mouse starts from the default layout, in a store of its own.
run_step(header ${CMAKE_COMMAND} -E env XDG_CONFIG_HOME=${OUT}/header-config ${DEMO} --script ${SCRIPTS}/header.txt)
run_step(file-manager ${DEMO} --script ${SCRIPTS}/files.txt)
run_step(message-boxes ${DEMO} --script ${SCRIPTS}/messages.txt)
# Popup windows need the host's window system (wxWidgets measures the monitors through it).
if(DEFINED ENV{DISPLAY} AND NOT "$ENV{DISPLAY}" STREQUAL "")
    run_step(drop-down ${DEMO} --script ${SCRIPTS}/dropdown.txt)
endif()
message(STATUS "demo headless run passed")
