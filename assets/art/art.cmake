# The art tool draws every picture of assets/art into the image folders of the staging tree and
# writes the three sprite scripts; its depfile lists the art list and every SVG it read.
if(NOT KELO_STAGE_DIR)
  set(KELO_STAGE_DIR ${CMAKE_BINARY_DIR}/stage)
  set(KELO_STAGE_STAMP_DIR ${KELO_STAGE_DIR}/.stamps)
endif()
set(art_stamp ${KELO_STAGE_STAMP_DIR}/art.stamp)
kelo_data_step(art
  STAMP ${art_stamp}
  COMMAND $<TARGET_FILE:arttool> ${CMAKE_CURRENT_LIST_DIR}/art.txt ${KELO_STAGE_DIR}
          --stamp ${art_stamp} --depfile ${CMAKE_CURRENT_BINARY_DIR}/art.d
  DEPENDS arttool ${CMAKE_CURRENT_LIST_DIR}/art.txt
  DEPFILE ${CMAKE_CURRENT_BINARY_DIR}/art.d)

# The maps' pictures, one step per image folder so the folders paint side by side. Each is painted
# along the curve files of its screen, which the levels' steps write into the staging tree.
if(EXISTS ${CMAKE_CURRENT_LIST_DIR}/../levels/levels.cmake)
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
    set(map_stamp ${KELO_STAGE_STAMP_DIR}/maps_${folder}.stamp)
    kelo_data_step(maps_${folder}
      STAMP ${map_stamp}
      COMMAND $<TARGET_FILE:mapart> ${map_list} ${KELO_STAGE_DIR} ${folder} --jobs 2
              --levels ${CMAKE_CURRENT_LIST_DIR}/../levels
              --stamp ${map_stamp} --depfile ${CMAKE_CURRENT_BINARY_DIR}/maps_${folder}.d
      DEPENDS mapart ${map_list} ${map_curves}
      DEPFILE ${CMAKE_CURRENT_BINARY_DIR}/maps_${folder}.d)
  endforeach()
endif()
