# The glyph tables of the two fonts, converted from the X bitmap fonts that
# Debian's xfonts-base and xfonts-75dpi ship into a source in the build tree
# (scripts/font_to_cpp.py says why some characters come from elsewhere in
# the font). Included by any build that draws our own glyphs, the desktop's
# and the browser's:
#   noisedemo_glyph_source(VAR)  sets VAR to the generated source's path.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
set(NOISEDEMO_FONT_DIR /usr/share/fonts/X11 CACHE PATH "Where the X bitmap fonts are installed")
set(NOISEDEMO_GLYPH_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/../scripts/font_to_cpp.py)

function(noisedemo_glyph_source var)
  set(fixed ${NOISEDEMO_FONT_DIR}/misc/9x15.pcf.gz)
  set(helvetica ${NOISEDEMO_FONT_DIR}/75dpi/helvR12.pcf.gz)
  foreach(font ${fixed} ${helvetica})
    if(NOT EXISTS ${font})
      message(FATAL_ERROR "${font} is missing: scripts/install_deps.sh build installs "
                          "xfonts-base and xfonts-75dpi")
    endif()
  endforeach()
  set(out ${CMAKE_CURRENT_BINARY_DIR}/bitmap_font_glyphs.cpp)
  add_custom_command(
    OUTPUT ${out}
    COMMAND Python3::Interpreter ${NOISEDEMO_GLYPH_SCRIPT} ${out}
            Fixed9x15=${fixed}
            Helvetica12=${helvetica},39=0x2019,45=0x2212,96=0x2018
    DEPENDS ${NOISEDEMO_GLYPH_SCRIPT} ${fixed} ${helvetica}
    COMMENT "Converting the X bitmap fonts into glyph tables"
    VERBATIM)
  set(${var} ${out} PARENT_SCOPE)
endfunction()
