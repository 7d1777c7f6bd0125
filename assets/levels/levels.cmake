# The maps' tracks: one source of pieces per map, written by the curve writer as the three curve
# files the screens read (plain, wide and square design windows).
set(KELO_LEVEL_ARTS tiltspiral underover longrange claw triangle inversespiral loopy turnaround
    squaresville warshak overunder spaceinvaders coaster spiral blackswirley serpents groovefest
    riverbed snakepit targetglyph tunnellevel space)
set(levels_src ${CMAKE_CURRENT_LIST_DIR})
set(levels_out ${KELO_STAGE_DIR}/z_levels)
foreach(art ${KELO_LEVEL_ARTS})
  kelo_data_step(curve_${art}
    OUTPUT ${levels_out}/${art}.pth ${levels_out}/z_wide/${art}.pth ${levels_out}/z_square/${art}.pth
    COMMAND curvewriter ${levels_src}/${art}.txt ${levels_out}/${art}.pth
            ${levels_out}/z_wide/${art}.pth ${levels_out}/z_square/${art}.pth
    DEPENDS curvewriter ${levels_src}/${art}.txt)
endforeach()
