# Bitmaps of the standard header variants, written by ImageMagick's encoder
# at build time for the header tests. Without `convert` the tests that need
# them are skipped.
find_program(VM_CONVERT convert)
set(VM_BMP_DIR ${CMAKE_BINARY_DIR}/test-bitmaps)
if(VM_CONVERT)
  set(_g -size 16x8 gradient:red-blue)
  set(_out ${VM_BMP_DIR}/core.bmp ${VM_BMP_DIR}/v3.bmp ${VM_BMP_DIR}/v5.bmp ${VM_BMP_DIR}/pal.bmp
           ${VM_BMP_DIR}/565.bmp ${VM_BMP_DIR}/4444.bmp ${VM_BMP_DIR}/8888.bmp)
  add_custom_command(OUTPUT ${_out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VM_BMP_DIR}
    COMMAND ${VM_CONVERT} ${_g} BMP2:${VM_BMP_DIR}/core.bmp
    COMMAND ${VM_CONVERT} ${_g} BMP3:${VM_BMP_DIR}/v3.bmp
    COMMAND ${VM_CONVERT} ${_g} BMP:${VM_BMP_DIR}/v5.bmp
    COMMAND ${VM_CONVERT} ${_g} -type Palette BMP3:${VM_BMP_DIR}/pal.bmp
    COMMAND ${VM_CONVERT} ${_g} -define bmp:subtype=RGB565 BMP:${VM_BMP_DIR}/565.bmp
    COMMAND ${VM_CONVERT} ${_g} -alpha on -define bmp:subtype=ARGB4444 BMP:${VM_BMP_DIR}/4444.bmp
    COMMAND ${VM_CONVERT} ${_g} -alpha on BMP:${VM_BMP_DIR}/8888.bmp
    VERBATIM)
  add_custom_target(test_bitmaps DEPENDS ${_out})
  add_dependencies(core_tests test_bitmaps)
endif()
target_compile_definitions(core_tests PRIVATE VM_BMP_DIR="${VM_BMP_DIR}")
