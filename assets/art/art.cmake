# The art tool draws every picture of the art list into the image folders of the staging tree and
# writes the three sprite scripts. Its stamp lists what it wrote and its depfile names the list,
# every SVG it read and every file it wrote; from the stamp it draws again only the pictures whose
# source or files changed.
set(art_stamp ${KELO_DATA_STEP_DIR}/art.txt)
kelo_data_step(art
  OUTPUT ${art_stamp}
  DEPFILE ${KELO_DATA_STEP_DIR}/art.d
  COMMAND $<TARGET_FILE:arttool> ${CMAKE_CURRENT_LIST_DIR}/art.txt ${KELO_STAGE_DIR}
          --stamp ${art_stamp} --depfile ${KELO_DATA_STEP_DIR}/art.d
  DEPENDS arttool ${CMAKE_CURRENT_LIST_DIR}/art.txt)

# The maps' pictures, one step per image folder so the folders paint side by side. Each is painted
# along the curve files of its screen, which the levels' steps write into the staging tree. A step
# runs on any change to the list or a curve file; from its stamp and the record beside it the tool
# paints again only the maps whose entry, track or files changed.
set(map_list ${CMAKE_CURRENT_LIST_DIR}/maps.txt)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${map_list})
file(STRINGS ${map_list} map_lines REGEX "^map ")
set(map_curves)
foreach(line ${map_lines})
  string(REGEX REPLACE "^map +([^ ]+).*" "\\1" map_art "${line}")
  if(NOT map_art STREQUAL "space")
    foreach(variant "" "z_wide/" "z_square/")
      list(APPEND map_curves ${KELO_STAGE_DIR}/z_levels/${variant}${map_art}.pth)
    endforeach()
  endif()
endforeach()
foreach(folder i_VGA i_800x480 i_QVGA i_400x240 i_320x320 i_240x240)
  set(map_stamp ${KELO_DATA_STEP_DIR}/maps_${folder}.txt)
  kelo_data_step(maps_${folder}
    OUTPUT ${map_stamp}
    DEPFILE ${KELO_DATA_STEP_DIR}/maps_${folder}.d
    COMMAND $<TARGET_FILE:mapart> ${map_list} ${KELO_STAGE_DIR} ${folder} --jobs 2
            --levels ${CMAKE_CURRENT_LIST_DIR}/../levels
            --stamp ${map_stamp} --depfile ${KELO_DATA_STEP_DIR}/maps_${folder}.d
    DEPENDS mapart ${map_list} ${map_curves})
endforeach()
