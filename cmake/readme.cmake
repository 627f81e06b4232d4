# Makes one platform's readme.html from the one source that both windows share: a block between
# the comments "<!-- linux -->" and "<!-- /linux -->" describes the Linux window alone, one
# between "<!-- windows -->" and "<!-- /windows -->" the Windows window alone; the platform's
# blocks are kept without their comments, the other's dropped, and the rest is shared.
#
#   cmake -DPLATFORM=linux|windows -DSOURCE=docs/readme.html -DOUTPUT=readme.html -P readme.cmake
cmake_minimum_required(VERSION 3.25)
file(READ ${SOURCE} text)
foreach(platform linux windows)
    set(open "<!-- ${platform} -->")
    set(close "<!-- /${platform} -->")
    if(platform STREQUAL PLATFORM)
        string(REPLACE "${open}" "" text "${text}")
        string(REPLACE "${close}" "" text "${text}")
        continue()
    endif()
    string(LENGTH "${close}" closeLength)
    while(TRUE)
        string(FIND "${text}" "${open}" start)
        if(start EQUAL -1)
            break()
        endif()
        string(FIND "${text}" "${close}" end)
        if(end LESS start)
            message(FATAL_ERROR "${SOURCE}: a ${platform} block without its end")
        endif()
        math(EXPR after "${end} + ${closeLength}")
        string(SUBSTRING "${text}" 0 ${start} before)
        string(SUBSTRING "${text}" ${after} -1 rest)
        set(text "${before}${rest}")
    endwhile()
endforeach()
file(WRITE ${OUTPUT} "${text}")
