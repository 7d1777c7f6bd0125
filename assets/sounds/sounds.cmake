# The game's sounds. Each patch here is one sound effect, rendered by the synthesiser and encoded
# as Ogg Vorbis into Sounds\<name>.ogg; the music is written by modwriter from its description in
# assets/music, its instruments rendered from the patches beside it.
file(GLOB kelo_effect_patches CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.patch)
set(kelo_effect_files)
foreach(patch ${kelo_effect_patches})
  get_filename_component(stem ${patch} NAME_WE)
  list(APPEND kelo_effect_files ${KELO_STAGE_DIR}/Sounds/${stem}.ogg)
endforeach()
kelo_data_step(sound_effects
  OUTPUT ${kelo_effect_files}
  COMMAND sfxrender ${KELO_STAGE_DIR}/Sounds ${kelo_effect_patches}
  DEPENDS sfxrender ${kelo_effect_patches})

set(kelo_music_folder ${CMAKE_CURRENT_LIST_DIR}/../music)
file(GLOB kelo_music_patches CONFIGURE_DEPENDS ${kelo_music_folder}/*.patch)
kelo_data_step(music
  OUTPUT ${KELO_STAGE_DIR}/Sounds/Music/kelo.s3m
  COMMAND modwriter ${kelo_music_folder}/kelo.txt ${KELO_STAGE_DIR}/Sounds/Music/kelo.s3m
  DEPENDS modwriter ${kelo_music_folder}/kelo.txt ${kelo_music_patches})
