# Helpers for the Windows programs: every exe carries the same resources (icon, version,
# manifest, string table, embedded data) and must import only system DLLs.
enable_language(RC)

# windres reports no dependencies: name what quillbridge.rc pulls in.
file(GLOB QB_RC_INPUTS CONFIGURE_DEPENDS ${QB_RESOURCE_DIR}/*.rc ${QB_RESOURCE_DIR}/*.h
     ${QB_RESOURCE_DIR}/*.ico ${QB_RESOURCE_DIR}/*.manifest ${QB_RESOURCE_DIR}/*.conf
     ${QB_RESOURCE_DIR}/*.bmp)
set_source_files_properties(${QB_RESOURCE_DIR}/quillbridge.rc PROPERTIES OBJECT_DEPENDS
                                                                      "${QB_RC_INPUTS}")

function(qb_add_windows_resources target)
  target_sources(${target} PRIVATE ${QB_RESOURCE_DIR}/quillbridge.rc)
  target_include_directories(${target} PRIVATE ${QB_RESOURCE_DIR})
  target_compile_definitions(
    ${target} PRIVATE QB_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
                      QB_VERSION_MINOR=${PROJECT_VERSION_MINOR}
                      QB_VERSION_PATCH=${PROJECT_VERSION_PATCH})
endfunction()

# A test that fails when the exe imports anything but Windows system DLLs or is not a GUI program.
function(qb_add_import_check target)
  add_test(NAME ${target}_imports
           COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DEXE=$<TARGET_FILE:${target}>
                   -P ${PROJECT_SOURCE_DIR}/cmake/CheckImports.cmake)
  set_tests_properties(${target}_imports PROPERTIES LABELS e2e)
endfunction()
