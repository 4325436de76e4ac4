# The fuzz targets of the tree, shared by the native fuzz project (fuzz/CMakeLists.txt) and the
# corpus replay of the Windows build (fuzz/replay/), so that both always see the same list.
#
# Every <dir>/tests/<Topic>Fuzz.cpp below Root is one target, fuzzing <dir>/<Topic>.cpp. Sets in
# the caller: FUZZ_TARGETS (Rules/tests/InfFieldsFuzz.cpp becomes Rules_InfFieldsFuzz,
# unique per file), FUZZ_UNITS (every <Topic>.cpp, once) and FUZZ_SOURCE_<target>.
function(find_fuzz_targets Root)
    # The glob runs again at every build, so a target added later is found without reconfiguring
    # by hand. Build trees (with their Wine prefix) and Git's folder are not walked at all.
    file(GLOB TopEntries RELATIVE ${Root} ${Root}/*)
    list(FILTER TopEntries EXCLUDE REGEX "^(build.*|\\..*)$")
    set(Sources "")
    foreach(Entry IN LISTS TopEntries)
        if(IS_DIRECTORY ${Root}/${Entry})
            file(GLOB_RECURSE Found CONFIGURE_DEPENDS RELATIVE ${Root} ${Root}/${Entry}/*Fuzz.cpp)
            list(APPEND Sources ${Found})
        endif()
    endforeach()
    list(FILTER Sources INCLUDE REGEX "(^|/)tests/[^/]+Fuzz\\.cpp$")
    list(SORT Sources)

    set(Targets "")
    set(Units "")
    foreach(Source IN LISTS Sources)
        get_filename_component(TestsDir ${Source} DIRECTORY)
        get_filename_component(Dir ${TestsDir} DIRECTORY)
        get_filename_component(Topic ${Source} NAME_WE)
        string(REGEX REPLACE "Fuzz$" "" Topic ${Topic})
        set(Unit ${Dir}/${Topic}.cpp)
        string(REGEX REPLACE "^/" "" Unit ${Unit})       # a tests/ folder at the top has no Dir
        if(NOT EXISTS ${Root}/${Unit})
            message(FATAL_ERROR "${Source}: no ${Unit} to fuzz")
        endif()
        string(REPLACE "/" "_" Name "${Dir}/${Topic}Fuzz")
        string(REGEX REPLACE "^_" "" Name ${Name})
        list(APPEND Targets ${Name})
        list(APPEND Units ${Root}/${Unit})
        # A unit outside Rules/ may be a program's core with its parts beside it (the script
        # checker): the other sources of its folder come with it, all but the program's Main.cpp.
        if(NOT Dir STREQUAL "Rules")
            file(GLOB Parts CONFIGURE_DEPENDS ${Root}/${Dir}/*.cpp)
            list(FILTER Parts EXCLUDE REGEX "/Main\\.cpp$")
            list(APPEND Units ${Parts})
        endif()
        set(FUZZ_SOURCE_${Name} ${Root}/${Source} PARENT_SCOPE)
    endforeach()
    if(NOT Targets)
        message(FATAL_ERROR "No */tests/*Fuzz.cpp found below ${Root}")
    endif()
    set(FUZZ_TARGETS ${Targets} PARENT_SCOPE)
    list(REMOVE_DUPLICATES Units)
    set(FUZZ_UNITS ${Units} PARENT_SCOPE)
endfunction()
