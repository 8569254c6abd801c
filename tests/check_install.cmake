# Installs the build into a temporary prefix, as a package would, and checks the tree: every file
# in its place, the desktop entry and the AppStream metadata valid where the validators are
# installed, every program with its manual page, the MIME type of the reports compiled where
# update-mime-database is installed, the installed program answering --version without a display
# and, started on the offscreen platform, making the user's kvor.ini from the installed one. Then
# the portable program folder the same way.
# Arguments: -DBUILD=<build folder> -DWORK=<scratch folder> -DVERSION=<project version>

cmake_minimum_required(VERSION 3.25)

function(fail)
    message(FATAL_ERROR ${ARGN})
endfunction()

function(expect_files root)
    foreach(name IN LISTS ARGN)
        if(NOT EXISTS ${root}/${name})
            fail("missing from the install: ${name}")
        endif()
    endforeach()
endfunction()

function(run_checked)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0)
        fail("${ARGN} failed (${rc}):\n${out}${err}")
    endif()
endfunction()

# The installed program, started with a home of its own and stopped after start-up.
function(start_briefly exe home)
    file(MAKE_DIRECTORY ${home})
    execute_process(COMMAND ${CMAKE_COMMAND} -E env
        QT_QPA_PLATFORM=offscreen HOME=${home} XDG_DATA_HOME=${home}/data
        KVOR_MESSAGE_LOG=${home}/messages.log ${exe}
        TIMEOUT 4 RESULT_VARIABLE rc OUTPUT_QUIET ERROR_QUIET)
    if(EXISTS ${home}/messages.log)
        file(READ ${home}/messages.log shown)
        fail("${exe} showed at start-up: ${shown}")
    endif()
endfunction()

# kvor --version of an installed copy, without a display.
function(expect_version exe)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY
        ${exe} --version RESULT_VARIABLE rc OUTPUT_VARIABLE out)
    if(NOT rc EQUAL 0 OR NOT out MATCHES "^kvor ${VERSION}\n")
        fail("${exe} --version gave ${rc}: ${out}")
    endif()
endfunction()

file(REMOVE_RECURSE ${WORK})

# --- the standard install ---------------------------------------------------------------------
set(prefix ${WORK}/prefix)
run_checked(${CMAKE_COMMAND} --install ${BUILD} --prefix ${prefix})
set(expected
    share/kvor/Obshtini.xml share/kvor/Structure.xml share/kvor/help.html share/kvor/kvor.ini
    share/applications/bg.kvor.KVOR.desktop share/metainfo/bg.kvor.KVOR.metainfo.xml
    share/mime/packages/bg.kvor.KVOR.xml
    share/doc/kvor/copyright share/doc/kvor/changelog.gz
    share/icons/hicolor/scalable/apps/kvor.svg)
foreach(size 16 22 24 32 48 64 128 256)
    list(APPEND expected share/icons/hicolor/${size}x${size}/apps/kvor.png)
endforeach()
# Every program has its manual page, in the default section and under bg.
file(GLOB programs RELATIVE ${prefix}/bin ${prefix}/bin/*)
if(NOT "kvor" IN_LIST programs OR NOT "kvor-verify" IN_LIST programs)
    fail("the install lacks kvor or kvor-verify: ${programs}")
endif()
foreach(program IN LISTS programs)
    list(APPEND expected bin/${program}
        share/man/man1/${program}.1.gz share/man/bg/man1/${program}.1.gz)
endforeach()
expect_files(${prefix} ${expected})
file(GLOB_RECURSE installed RELATIVE ${prefix} ${prefix}/*)
list(LENGTH installed count)
list(LENGTH expected expected_count)
if(NOT count EQUAL expected_count)
    list(REMOVE_ITEM installed ${expected})
    fail("the install holds files nobody asked for: ${installed}")
endif()
file(READ ${prefix}/share/metainfo/bg.kvor.KVOR.metainfo.xml metainfo)
if(NOT metainfo MATCHES "<release version=\"${VERSION}\"")
    fail("the AppStream metadata does not carry the version ${VERSION}")
endif()

# The desktop entry opens the report files the MIME type names, under the id of the AppStream
# component.
file(READ ${prefix}/share/applications/bg.kvor.KVOR.desktop entry)
file(READ ${prefix}/share/mime/packages/bg.kvor.KVOR.xml mimexml)
if(NOT entry MATCHES "\nMimeType=application/x-kvor-report;" OR NOT entry MATCHES "\nExec=kvor %f"
   OR NOT mimexml MATCHES "type=\"application/x-kvor-report\""
   OR NOT mimexml MATCHES "<root-XML namespaceURI=\"\" localName=\"positions\"/>"
   OR NOT metainfo MATCHES "<launchable type=\"desktop-id\">bg.kvor.KVOR.desktop<")
    fail("the desktop entry, the MIME type and the AppStream metadata do not agree")
endif()
find_program(UPDATE_MIME_DATABASE update-mime-database)
if(UPDATE_MIME_DATABASE)
    # Compiled in a copy: the database it writes belongs to no install.
    file(COPY ${prefix}/share/mime/packages DESTINATION ${WORK}/mime)
    execute_process(COMMAND ${UPDATE_MIME_DATABASE} -V ${WORK}/mime
        RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT rc EQUAL 0 OR err MATCHES "[Ee]rror|[Ww]arning|[Ii]nvalid")
        fail("update-mime-database refused the MIME type (${rc}):\n${out}${err}")
    endif()
    if(NOT EXISTS ${WORK}/mime/application/x-kvor-report.xml)
        fail("the MIME type application/x-kvor-report was not compiled")
    endif()
    # Beside the desktop's own types, as in /usr/share/mime: a report is known by its content,
    # another XML file stays XML.
    find_program(GIO gio)
    set(shared /usr/share/mime/packages/freedesktop.org.xml)
    if(GIO AND EXISTS ${shared})
        file(COPY ${shared} DESTINATION ${WORK}/mime/packages)
        run_checked(${UPDATE_MIME_DATABASE} ${WORK}/mime)
        set(data ${CMAKE_CURRENT_LIST_DIR}/data)
        foreach(pair "${data}/opened_sample.xml=application/x-kvor-report"
                     "${CMAKE_CURRENT_LIST_DIR}/../sample/Structure.xml=application/xml")
            string(REPLACE "=" ";" pair ${pair})
            list(GET pair 0 file)
            list(GET pair 1 type)
            execute_process(COMMAND ${CMAKE_COMMAND} -E env XDG_DATA_DIRS=${WORK}
                XDG_DATA_HOME=${WORK}/none ${GIO} info -a standard::content-type ${file}
                OUTPUT_VARIABLE out)
            if(NOT out MATCHES "content-type: ${type}\n")
                fail("${file} is not seen as ${type}: ${out}")
            endif()
        endforeach()
    endif()
endif()
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
    run_checked(${DESKTOP_FILE_VALIDATE} ${prefix}/share/applications/bg.kvor.KVOR.desktop)
else()
    message(STATUS "desktop-file-validate is not installed: the desktop entry is not validated")
endif()
find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
    run_checked(${APPSTREAMCLI} validate --no-net
        ${prefix}/share/metainfo/bg.kvor.KVOR.metainfo.xml)
else()
    message(STATUS "appstreamcli is not installed: the AppStream metadata is not validated")
endif()

expect_version(${prefix}/bin/kvor)
start_briefly(${prefix}/bin/kvor ${WORK}/home)
expect_files(${WORK}/home data/KVOR/kvor.ini)
if(EXISTS ${prefix}/share/kvor/Data OR EXISTS ${prefix}/bin/Data)
    fail("the installed program wrote its Data into the install")
endif()

# --- the portable program folder -------------------------------------------------------------
set(folder ${WORK}/portable)
run_checked(${CMAKE_COMMAND} --install ${BUILD} --prefix ${folder} --component portable)
expect_files(${folder} kvor kvor-verify kvor-summary Obshtini.xml Structure.xml help.html kvor.ini)
if(NOT IS_DIRECTORY ${folder}/Data)
    fail("the portable program folder has no Data")
endif()
expect_version(${folder}/kvor)
start_briefly(${folder}/kvor ${WORK}/home-portable)
if(EXISTS ${WORK}/home-portable/data/KVOR)
    fail("a portable copy in a folder it may write kept the user's files elsewhere")
endif()

file(REMOVE_RECURSE ${WORK})
