# Run by CPack (CPACK_PRE_BUILD_SCRIPTS) once the files are staged and stripped, before they are packed: signs
# the programs there with Authenticode (SHA-256) when a certificate is named in the environment.
#   KOLBRIN_SIGN_CERT       the certificate with its private key, a PKCS#12 file (.pfx, .p12), absolute path
#   KOLBRIN_SIGN_PASSWORD   its password
#   KOLBRIN_SIGN_TIMESTAMP  the URL of an RFC 3161 timestamp server (optional): the signature then stays
#                           valid after the certificate expires
# Without KOLBRIN_SIGN_CERT nothing is signed. The password reaches osslsigncode through a pipe, never on a
# command line, which other users of the machine could read.
set(cert "$ENV{KOLBRIN_SIGN_CERT}")
if(cert STREQUAL "")
    return()
endif()
if(NOT IS_ABSOLUTE "${cert}" OR NOT EXISTS "${cert}")
    message(FATAL_ERROR "KOLBRIN_SIGN_CERT: no file ${cert} (an absolute path is needed)")
endif()
if(NOT DEFINED ENV{KOLBRIN_SIGN_PASSWORD})
    message(FATAL_ERROR "KOLBRIN_SIGN_CERT is named without its password (KOLBRIN_SIGN_PASSWORD)")
endif()
find_program(osslsigncode osslsigncode)
if(NOT osslsigncode)
    message(FATAL_ERROR "osslsigncode is not installed (scripts/setup.sh installs it)")
endif()
# A certificate without a password: osslsigncode reads nothing from an empty pipe, so it is told so.
if("$ENV{KOLBRIN_SIGN_PASSWORD}" STREQUAL "")
    set(options -pkcs12 "${cert}" -pass "" -h sha256 -n "${CPACK_PACKAGE_NAME}")
else()
    set(options -pkcs12 "${cert}" -readpass /dev/stdin -h sha256 -n "${CPACK_PACKAGE_NAME}")
endif()
if(NOT "$ENV{KOLBRIN_SIGN_TIMESTAMP}" STREQUAL "")
    list(APPEND options -ts "$ENV{KOLBRIN_SIGN_TIMESTAMP}")
endif()
file(GLOB_RECURSE programs "${CPACK_TEMPORARY_DIRECTORY}/*.exe")
foreach(program IN LISTS programs)
    execute_process(
        COMMAND sh -c [[printf '%s' "$KOLBRIN_SIGN_PASSWORD" | "$@"]] sh
                "${osslsigncode}" sign ${options} -in "${program}" -out "${program}.signed"
        RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE output)
    if(NOT status EQUAL 0)
        file(REMOVE "${program}.signed")
        message(FATAL_ERROR "Signing ${program} failed:\n${output}")
    endif()
    file(RENAME "${program}.signed" "${program}")
endforeach()
