# The art tool draws every picture of assets/art into the image folders of the staging tree and
# writes the three sprite scripts; its depfile lists the art list and every SVG it read.
set(art_stamp ${CMAKE_CURRENT_BINARY_DIR}/art.stamp)
kelo_data_step(art
  STAMP ${art_stamp}
  COMMAND $<TARGET_FILE:arttool> ${CMAKE_CURRENT_LIST_DIR}/art.txt ${KELO_STAGE_DIR}
          --stamp ${art_stamp} --depfile ${CMAKE_CURRENT_BINARY_DIR}/art.d
  DEPENDS arttool ${CMAKE_CURRENT_LIST_DIR}/art.txt
  DEPFILE ${CMAKE_CURRENT_BINARY_DIR}/art.d)
