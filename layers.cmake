# What the desktop build (CMakeLists.txt) and the browser build
# (web/CMakeLists.txt) share, written once: the version, and the sources of
# every layer both builds compile. A new .cpp in one of these layers is one
# line here; the layer's CMakeLists.txt makes its library from this list and
# the browser build its modules.
#
#   noisedemo_sources(VAR LAYER...)  sets VAR to the layers' sources, full paths.
set(NOISEDEMO_VERSION 1.1.0)

# The texture fill and the command line's words: all the benchmark's fill
# modules need, and part of the whole program.
set(NOISEDEMO_SOURCES_noise_fill noise/lattice.cpp noise/hermite.cpp noise/noise2d.cpp)
set(NOISEDEMO_SOURCES_render_fill
  render/colour_scale.cpp
  render/texture_image.cpp
  render/texture_fill_fast.cpp
  render/worker_pool.cpp)
set(NOISEDEMO_SOURCES_app_words
  app/command_line.cpp
  app/glut_options.cpp
  app/number_words.cpp
  app/usage.cpp
  app/option_lines.cpp
  app/export_formats.cpp)

set(NOISEDEMO_SOURCES_noise ${NOISEDEMO_SOURCES_noise_fill} noise/noise1d.cpp noise/height_field.cpp)
set(NOISEDEMO_SOURCES_render
  ${NOISEDEMO_SOURCES_render_fill}
  render/texture_window.cpp
  render/graph_display.cpp
  render/bitmap_text.cpp
  render/texture_views.cpp)
# Beside the glyph tables generated at build time (text/glyphs.cmake).
set(NOISEDEMO_SOURCES_glyphs text/bitmap_font.cpp)
set(NOISEDEMO_SOURCES_toolkit
  toolkit/glui_platform.cpp
  toolkit/glui_control.cpp
  toolkit/glui_controls.cpp
  toolkit/glui_window.cpp
  toolkit/glui_master.cpp
  toolkit/glui_draw.cpp)
set(NOISEDEMO_SOURCES_ui ui/hslider.cpp ui/hslider_draw.cpp)
# The PNG encoder is each build's own: libpng's (export_libpng) on the
# desktop, stored deflate blocks (export_stored_png) in the browser.
set(NOISEDEMO_SOURCES_export
  export/atomic_file.cpp
  export/save_file.cpp
  export/printable.cpp
  export/fixed_format.cpp
  export/bmp_writer.cpp
  export/stl_solid.cpp
  export/stl_writer.cpp
  export/stl_binary.cpp
  export/png_save.cpp
  export/png_stored.cpp)
set(NOISEDEMO_SOURCES_export_libpng export/png_writer.cpp)
set(NOISEDEMO_SOURCES_export_stored_png export/png_stored_writer.cpp)
set(NOISEDEMO_SOURCES_app
  app/platform.cpp
  app/app_state.cpp
  app/windows.cpp
  app/input_logic.cpp
  app/input.cpp
  app/control_panel.cpp
  ${NOISEDEMO_SOURCES_app_words}
  app/start.cpp
  app/png_texts.cpp
  app/heightmap.cpp
  app/heightmap_samples.cpp
  app/solid.cpp
  app/exports.cpp)
set(NOISEDEMO_SOURCES_softgl
  softgl/entry_points.cpp
  softgl/setup.cpp
  softgl/raster.cpp
  softgl/texture.cpp
  softgl/framebuffer.cpp)
# The browser front end's windows, which also build natively for their tests.
set(NOISEDEMO_SOURCES_page_windows frontends/browser/page_windows.cpp)

set(NOISEDEMO_LAYERS_ROOT ${CMAKE_CURRENT_LIST_DIR})
function(noisedemo_sources var)
  set(sources "")
  foreach(layer ${ARGN})
    if(NOT DEFINED NOISEDEMO_SOURCES_${layer})
      message(FATAL_ERROR "layers.cmake lists no layer '${layer}'")
    endif()
    foreach(file ${NOISEDEMO_SOURCES_${layer}})
      list(APPEND sources ${NOISEDEMO_LAYERS_ROOT}/${file})
    endforeach()
  endforeach()
  set(${var} ${sources} PARENT_SCOPE)
endfunction()
