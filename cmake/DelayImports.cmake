# Delay-load import libraries: the program loads these DLLs at their first call, after it has
# taken its own folder out of the DLL search, instead of at its start, when the system looks
# beside the program first (and so do the imports of every DLL loaded then).
find_program(SETUP_NM NAMES i686-w64-mingw32-nm REQUIRED)
find_program(SETUP_DLLTOOL NAMES i686-w64-mingw32-dlltool REQUIRED)

# setup_delay_imports(Var dll...): Var lists the delay-load libraries of the named DLLs
# ("user32" ...), made in the build tree from the toolchain's import libraries.
function(setup_delay_imports Var)
    set(Libs "")
    foreach(Dll IN LISTS ARGN)
        find_library(SETUP_IMPORT_${Dll} NAMES ${Dll} REQUIRED)
        set(Out ${CMAKE_BINARY_DIR}/delayimports/lib${Dll}_delay.a)
        add_custom_command(OUTPUT ${Out}
            COMMAND ${SETUP_ROOT}/cmake/delay-import.sh ${SETUP_NM} ${SETUP_DLLTOOL}
                    ${SETUP_IMPORT_${Dll}} ${Dll}.dll ${Out}
            DEPENDS ${SETUP_ROOT}/cmake/delay-import.sh ${SETUP_IMPORT_${Dll}}
            VERBATIM)
        list(APPEND Libs ${Out})
    endforeach()
    string(REPLACE ";" "_" Name "${ARGN}")
    add_custom_target(delayimports_${Name} DEPENDS ${Libs})
    set(${Var} ${Libs} PARENT_SCOPE)
    set(${Var}_TARGET delayimports_${Name} PARENT_SCOPE)
endfunction()
