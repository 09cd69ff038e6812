# Run by CPack (CPACK_POST_BUILD_SCRIPTS) once it has written the zip: writes it again from the staged files,
# so that the same sources give the same zip, byte for byte, wherever and whenever they are built.
# - The entries in one order: the folder, then its files by name.
# - One time for all: SOURCE_DATE_EPOCH, as reproducible builds name it, else the time of the commit.
# - Fixed attributes: 755 for the folder and the program, 644 for the rest; no owner, no further times.
# Info-ZIP's zip writes it: -X leaves out the owner and the extra time fields. It stores local times: UTC here.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
    execute_process(COMMAND git -C "${CPACK_KOLBRIN_SOURCE_DIR}" log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
endif()
if(NOT epoch MATCHES "^[0-9]+$")
    message(FATAL_ERROR "No time for the zip's entries: not a git checkout, and SOURCE_DATE_EPOCH is not set")
endif()
find_program(zip zip)
if(NOT zip)
    message(FATAL_ERROR "zip is not installed (scripts/setup.sh installs it)")
endif()

set(stage "${CPACK_TEMPORARY_DIRECTORY}")
file(GLOB_RECURSE paths LIST_DIRECTORIES true RELATIVE "${stage}" "${stage}/*")
list(SORT paths)
set(entries "")
foreach(path IN LISTS paths)
    if(IS_DIRECTORY "${stage}/${path}" OR path MATCHES "\\.exe$")
        file(CHMOD "${stage}/${path}" PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
             GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
    else()
        file(CHMOD "${stage}/${path}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
    endif()
    if(IS_DIRECTORY "${stage}/${path}")
        string(APPEND path /)
    endif()
    list(APPEND entries "${path}")
endforeach()
set(ENV{TZ} UTC0)
execute_process(COMMAND touch -h -d "@${epoch}" ${paths} WORKING_DIRECTORY "${stage}" COMMAND_ERROR_IS_FATAL ANY)
foreach(package IN LISTS CPACK_PACKAGE_FILES)
    file(REMOVE "${package}")
    execute_process(COMMAND "${zip}" -X -9 -q "${package}" ${entries} WORKING_DIRECTORY "${stage}"
                    COMMAND_ERROR_IS_FATAL ANY)
endforeach()
