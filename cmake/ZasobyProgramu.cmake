# The Windows program's resources (app/instalator.rc): the manifest, the
# version information and the icon. The icon is made in the build from its
# drawing, app/ikona.mvg: ImageMagick renders it at 256 px and scales it down,
# icoutils' icotool packs 16, 24, 32 and 48 px as bitmaps and 256 px as PNG,
# the form Windows shows in Explorer's large views.
#
# kv_zasoby_programu(TARGET) gives a target the resources as the installer
# has them, wherever it is defined (the program and the tests that read its
# resources from inside a process).
include_guard(GLOBAL)

set(KV_IKONA ${CMAKE_BINARY_DIR}/ikona/instalator.ico)

if(NOT TARGET kv_ikona)
  find_program(KV_CONVERT NAMES convert)
  find_program(KV_ICOTOOL NAMES icotool)
  if(NOT KV_CONVERT OR NOT KV_ICOTOOL)
    message(FATAL_ERROR "The program's icon needs ImageMagick's convert and icoutils' icotool "
                        "(scripts/zaleznosci.sh installs them)")
  endif()
  set(rysunek ${CMAKE_SOURCE_DIR}/app/ikona.mvg)
  set(folder ${CMAKE_BINARY_DIR}/ikona)
  # No time stamps in the PNG files: the same drawing gives the same icon.
  set(png -define png:exclude-chunks=date,time,tIME +set date:create +set date:modify)
  set(polecenia)
  set(male)
  foreach(bok 16 24 32 48)
    list(APPEND polecenia COMMAND ${KV_CONVERT} ${folder}/256.png -filter Lanczos -resize ${bok}x${bok}
                                  ${png} PNG32:${folder}/${bok}.png)
    list(APPEND male ${folder}/${bok}.png)
  endforeach()
  add_custom_command(OUTPUT ${KV_IKONA}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
    COMMAND ${KV_CONVERT} -background none mvg:${rysunek} ${png} PNG32:${folder}/256.png
    ${polecenia}
    COMMAND ${KV_ICOTOOL} -c -o ${KV_IKONA} ${male} -r ${folder}/256.png
    DEPENDS ${rysunek}
    COMMENT "The program's icon from app/ikona.mvg"
    VERBATIM)
  add_custom_target(kv_ikona DEPENDS ${KV_IKONA})
endif()

function(kv_zasoby_programu cel)
  set(skrypt ${CMAKE_SOURCE_DIR}/app/instalator.rc)
  target_sources(${cel} PRIVATE ${skrypt})
  # windres looks for the files the script names in these folders.
  target_include_directories(${cel} PRIVATE ${CMAKE_SOURCE_DIR}/app ${CMAKE_BINARY_DIR}/ikona)
  add_dependencies(${cel} kv_ikona)
  get_source_file_property(zalezne ${skrypt} OBJECT_DEPENDS)
  if(NOT zalezne OR NOT zalezne MATCHES "instalator\\.ico")
    set_property(SOURCE ${skrypt} APPEND PROPERTY OBJECT_DEPENDS
                 ${CMAKE_SOURCE_DIR}/app/instalator.manifest ${KV_IKONA})
  endif()
  if(MSVC)
    # MSVC's linker writes a manifest of its own; it merges this one in.
    target_sources(${cel} PRIVATE ${CMAKE_SOURCE_DIR}/app/instalator.manifest)
    set_property(SOURCE ${skrypt} APPEND PROPERTY COMPILE_DEFINITIONS KV_MANIFEST_Z_LINKERA)
  endif()
endfunction()
