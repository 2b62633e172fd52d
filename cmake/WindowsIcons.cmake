# Pictures for the Windows build, whose Qt has no SVG support: each SVG of a
# resource file rendered on the host (rsvg-convert) to a PNG, listed under the
# SVG's name, so the code loads ":/icons/x.svg" either way; and a program's
# own icon resource (.ico, ImageMagick) from an SVG.  Rendered at configure
# time; a changed SVG configures again.
include_guard(GLOBAL)
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(MAGICK_CONVERT convert REQUIRED)

# Writes a resource file of the same name with the PNGs beside it, and puts
# its path in `out`.
function(tolvane_png_icons qrc out)
  get_filename_component(source_folder ${qrc} DIRECTORY)
  file(READ ${qrc} listing)
  string(REGEX MATCHALL "<file alias=\"[^\"]+\">[^<]+</file>" entries "${listing}")
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/png-icons)
  file(MAKE_DIRECTORY ${folder})
  set(generated "<RCC>\n  <qresource prefix=\"/icons\">\n")
  foreach(entry ${entries})
    string(REGEX REPLACE "<file alias=\"([^\"]+)\">([^<]+)</file>" "\\1;\\2" parts "${entry}")
    list(GET parts 0 alias)
    list(GET parts 1 svg)
    get_filename_component(name ${svg} NAME_WE)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source_folder}/${svg})
    execute_process(COMMAND ${RSVG_CONVERT} -w 64 -h 64 -o ${folder}/${name}.png
      ${source_folder}/${svg} COMMAND_ERROR_IS_FATAL ANY)
    string(APPEND generated "    <file alias=\"${alias}\">${name}.png</file>\n")
  endforeach()
  string(APPEND generated "  </qresource>\n</RCC>\n")
  # The same file name: the code initialises the resource by that name.
  get_filename_component(qrc_name ${qrc} NAME)
  file(WRITE ${folder}/${qrc_name} "${generated}")
  set(${out} ${folder}/${qrc_name} PARENT_SCOPE)
endfunction()

# The program's icon, as Explorer and the task bar show it, and its manifest.
function(tolvane_program_icon target svg)
  set(folder ${CMAKE_CURRENT_BINARY_DIR}/${target}-icon)
  file(MAKE_DIRECTORY ${folder})
  set(pngs)
  foreach(size 16 32 48 256)
    execute_process(COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${folder}/${size}.png ${svg}
      COMMAND_ERROR_IS_FATAL ANY)
    list(APPEND pngs ${folder}/${size}.png)
  endforeach()
  execute_process(COMMAND ${MAGICK_CONVERT} ${pngs} ${folder}/${target}.ico COMMAND_ERROR_IS_FATAL ANY)
  # With its application manifest (resource type 24).
  set(program ${target})
  configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/program.manifest.in
    ${folder}/${target}.manifest @ONLY)
  file(WRITE ${folder}/${target}.rc
    "1 ICON \"${target}.ico\"\n1 24 \"${target}.manifest\"\n")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${svg})
  target_sources(${target} PRIVATE ${folder}/${target}.rc)
endfunction()
