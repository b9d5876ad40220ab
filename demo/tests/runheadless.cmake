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
run_step(check-screenshots ${CHECK} images ${OUT}/screenshots layers files start)
run_step(first-start ${DEMO} --script ${SCRIPTS}/savelayout.txt)
run_step(second-start ${DEMO} --script ${SCRIPTS}/restorelayout.txt)
run_step(check-layout ${CHECK} layout ${OUT}/default.txt ${OUT}/saved.txt ${OUT}/restored.txt)
run_step(file-manager ${DEMO} --script ${SCRIPTS}/files.txt)
run_step(message-boxes ${DEMO} --script ${SCRIPTS}/messages.txt)
# Popup windows need the host's window system (wxWidgets measures the monitors through it).
if(DEFINED ENV{DISPLAY} AND NOT "$ENV{DISPLAY}" STREQUAL "")
    run_step(drop-down ${DEMO} --script ${SCRIPTS}/dropdown.txt)
endif()
message(STATUS "demo headless run passed")
