# Run as a script: cmake -DDOCUMENT=FILE.md -DOUTPUT=FILE.cpp -DSOURCE_DIR=DIR -P DocSnippets.cmake
# Writes every ```cpp block of the document into OUTPUT, after the headers a host includes,
# so that the build compiles what the document shows. A block right after a line
# "<!-- file: PATH -->" must instead equal the file PATH of the source folder, byte for
# byte: the document shows that file as it is.
cmake_minimum_required(VERSION 3.16...3.25)
file(READ "${DOCUMENT}" text)
set(code "// Made from ${DOCUMENT}.\n")
foreach(header public_vorn_taskcmdprocess_desktop.h uiprocdealkeypress_vorn_desktop.h
               model_protocoldata.h model_vornparam.h uiprocmain_vorn_desktop.h uiproctake.h
               QtCore/QCoreApplication QtCore/QLoggingCategory QtCore/QStringList QtCore/QThread QtQml/QQmlEngine)
    string(APPEND code "#include <${header}>\n")
endforeach()

set(fence "\n```")
while(TRUE)
    string(FIND "${text}" "${fence}" start)
    if(start EQUAL -1)
        break()
    endif()
    string(SUBSTRING "${text}" 0 ${start} before)
    math(EXPR start "${start} + 4")
    string(SUBSTRING "${text}" ${start} -1 text)
    string(FIND "${text}" "\n" lineEnd)
    string(SUBSTRING "${text}" 0 ${lineEnd} language)
    math(EXPR lineEnd "${lineEnd} + 1")
    string(SUBSTRING "${text}" ${lineEnd} -1 text)
    string(FIND "${text}" "${fence}" end)
    if(end EQUAL -1)
        message(FATAL_ERROR "${DOCUMENT}: a code block without its closing fence")
    endif()
    string(SUBSTRING "${text}" 0 ${end} block)
    math(EXPR end "${end} + 4")
    string(SUBSTRING "${text}" ${end} -1 text)

    if(before MATCHES "<!-- file: ([^ ]+) -->\n*$")
        set(path "${CMAKE_MATCH_1}")
        file(READ "${SOURCE_DIR}/${path}" shown)
        if(NOT "${block}\n" STREQUAL "${shown}")
            message(FATAL_ERROR "${DOCUMENT}: the block after <!-- file: ${path} --> is not "
                                "${path} as it is; copy the file into the document")
        endif()
    elseif(language STREQUAL "cpp")
        string(APPEND code "\n${block}\n")
    endif()
endwhile()
file(WRITE "${OUTPUT}" "${code}")
