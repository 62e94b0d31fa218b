# Copies every file of SOURCE_DIR into TARGET_DIR that TARGET_DIR lacks.
file(MAKE_DIRECTORY ${TARGET_DIR})
file(GLOB files ${SOURCE_DIR}/*)
foreach(file ${files})
    get_filename_component(name ${file} NAME)
    if(NOT EXISTS ${TARGET_DIR}/${name})
        file(COPY ${file} DESTINATION ${TARGET_DIR})
    endif()
endforeach()
