# CPack runs this after its ZIP generator has zipped the files it installed
# into CPACK_TEMPORARY_DIRECTORY, and before it copies the zip out and
# writes its checksum. Two builds of one commit must give the same zip, byte
# for byte, so that anyone can rebuild a release and compare it, and CPack's
# zip cannot be that: it stores each file's owner (user and group ids), its
# times from the disk, and the files in the order the disk lists them. So
# the zip is made anew by Info-ZIP's zip with -X, which stores no owner and
# only each file's modification time, here one time from the sources for
# all, with the files in sorted order.
set(stage ${CPACK_TEMPORARY_DIRECTORY})
get_filename_component(top ${stage} DIRECTORY)
# Gone first: CPack goes on after an error here, and must find no zip to
# copy out then.
file(REMOVE ${CPACK_PACKAGE_FILES})

# The time of the commit the sources are: the same in every clone of it.
# Sources without a git history of their own, or without git, take a date
# fixed here, the release date of 1.5.0 (2026-12-07 00:00 UTC). A git that
# fails stops the zip, as a zip with the fixed date would silently differ.
set(epoch 1796601600)
find_program(GIT_PROGRAM git)
if(GIT_PROGRAM AND EXISTS ${CPACK_QUORVANTEL_SOURCE_DIR}/.git)
  execute_process(COMMAND ${GIT_PROGRAM} log -1 --no-show-signature --format=%ct
                  WORKING_DIRECTORY ${CPACK_QUORVANTEL_SOURCE_DIR} OUTPUT_VARIABLE epoch
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endif()

find_program(ZIP_PROGRAM zip)
if(NOT ZIP_PROGRAM)
  message(FATAL_ERROR "The release zip is made by Info-ZIP's zip, which is not installed")
endif()
# file(GLOB) lists in sorted order.
file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${top} ${stage}/*)
execute_process(COMMAND touch -d @${epoch} ${files} WORKING_DIRECTORY ${top} COMMAND_ERROR_IS_FATAL ANY)
# zip writes a file's time as a local time of day: UTC's, for everyone.
set(ENV{TZ} UTC0)
execute_process(COMMAND ${ZIP_PROGRAM} -X -D -q ${CPACK_PACKAGE_FILES} ${files} WORKING_DIRECTORY ${top}
                COMMAND_ERROR_IS_FATAL ANY)
