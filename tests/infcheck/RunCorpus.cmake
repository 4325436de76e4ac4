# The corpus of the script checker: every NAME.inf here is checked from this folder with the
# medium medium/, and its output (findings, summary and exit code, CR dropped) must be
# NAME.expected exactly. Then every example script of the project must check without errors and
# warnings. The Windows build gives TINYCLOCK_MEDIUM, the example product's built medium, which
# is then checked as well.
# cmake -D CHECKER=<infcheck> [-D EMULATOR=<wine-run>] [-D TINYCLOCK_MEDIUM=<dir>]
#       -D ROOT=<repository> -P RunCorpus.cmake
set(Corpus ${ROOT}/tests/infcheck)
file(GLOB Cases RELATIVE ${Corpus} ${Corpus}/*.inf)
list(SORT Cases)
set(Failed "")

function(run_checker Dir OutVar CodeVar)
    execute_process(COMMAND ${EMULATOR} ${CHECKER} ${ARGN} WORKING_DIRECTORY ${Dir}
                    OUTPUT_VARIABLE Out ERROR_VARIABLE Err RESULT_VARIABLE Code)
    string(REPLACE "\r" "" Out "${Out}")
    set(${OutVar} "${Out}${Err}" PARENT_SCOPE)
    set(${CodeVar} ${Code} PARENT_SCOPE)
endfunction()

# Clean: no finding but notes ("0 errors, 0 warnings" or "0 errors, 0 warnings, N notes").
function(check_clean What Out Code)
    string(REGEX REPLACE "[^\n]*: note: [^\n]*\n" "" Rest "${Out}")
    if(NOT Code EQUAL 0 OR NOT Rest MATCHES "^0 errors, 0 warnings(, [0-9]+ notes?)?\n$")
        message("${What} does not check clean:\n${Out}")
        set(Failed ${Failed} ${What} PARENT_SCOPE)
    endif()
endfunction()

foreach(Case IN LISTS Cases)
    string(REGEX REPLACE "\\.inf$" "" Name ${Case})
    # A case with a medium of its own has it in NAME.medium/.
    set(Medium medium)
    if(IS_DIRECTORY ${Corpus}/${Name}.medium)
        set(Medium ${Name}.medium)
    endif()
    run_checker(${Corpus} Out Code --medium ${Medium} ${Case})
    # The exit code is part of the golden text, so that it is checked as well.
    set(Out "${Out}exit ${Code}\n")
    if(NOT EXISTS ${Corpus}/${Name}.expected)
        message("${Case}: no ${Name}.expected; the checker says:\n${Out}")
        list(APPEND Failed ${Case})
        continue()
    endif()
    file(READ ${Corpus}/${Name}.expected Expected)
    if(NOT Out STREQUAL Expected)
        message("${Case}: expected\n${Expected}but the checker says\n${Out}")
        list(APPEND Failed ${Case})
    endif()
endforeach()

# The project's own scripts are what authors copy: they must pass clean, except the reference's
# examples that show a mistake on purpose, whose findings are golden texts in examples/. The
# reference's examples write below a key that their test run defines as ExampleKey, and their
# files are made by that run, so they are checked without a medium.
file(GLOB Examples ${ROOT}/docs/examples/*.inf)
list(APPEND Examples ${ROOT}/examples/tinyclock/TINYCLOCK.INF)
foreach(Example IN LISTS Examples)
    get_filename_component(Dir ${Example} DIRECTORY)
    get_filename_component(File ${Example} NAME)
    get_filename_component(Name ${Example} NAME_WE)
    run_checker(${Dir} Out Code --define ExampleKey --medium - ${File})
    if(EXISTS ${Corpus}/examples/${Name}.expected)
        file(READ ${Corpus}/examples/${Name}.expected Expected)
        if(NOT "${Out}exit ${Code}\n" STREQUAL Expected)
            message("${File}: expected\n${Expected}but the checker says\n${Out}exit ${Code}")
            list(APPEND Failed ${File})
        endif()
    else()
        check_clean(${Example} "${Out}" ${Code})
    endif()
endforeach()
if(TINYCLOCK_MEDIUM)
    run_checker(${ROOT}/examples/tinyclock Out Code --medium ${TINYCLOCK_MEDIUM} TINYCLOCK.INF)
    check_clean("TINYCLOCK.INF on ${TINYCLOCK_MEDIUM}" "${Out}" ${Code})
endif()

list(LENGTH Cases Count)
if(Failed)
    message(FATAL_ERROR "failed: ${Failed}")
endif()
message("${Count} corpus cases and the examples as expected")
