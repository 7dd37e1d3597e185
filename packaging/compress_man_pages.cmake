# Run by CPack on its staging tree before it builds the Debian package: Debian keeps manual
# pages compressed, with no time stamp or file name in the gzip header.
file(GLOB_RECURSE pages ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/share/man/man*/*)
list(FILTER pages EXCLUDE REGEX "\\.gz$")
foreach(page IN LISTS pages)
    execute_process(COMMAND gzip -n -9 ${page} COMMAND_ERROR_IS_FATAL ANY)
endforeach()
