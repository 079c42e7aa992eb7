# SPDX-License-Identifier: GPL-3.0-or-later
# The configuration sweep: configurations drawn from the whole settings
# space, generated and built. CI runs a fixed seed in slices that ctest runs
# side by side; sweep.sh's head tells how to run thousands with another seed.
add_executable(sweep_draw ${FW_DIR}/sweep_draw.cpp)
target_link_libraries(sweep_draw PRIVATE tamberlo_core)
target_compile_options(sweep_draw PRIVATE ${TAMBERLO_WARNINGS})

set(FW_SWEEP_SEED 20261208)
set(FW_SWEEP_SLICES 8)
set(FW_SWEEP_PER_SLICE 32)
math(EXPR last "${FW_SWEEP_SLICES} - 1")
foreach(k RANGE 0 ${last})
  math(EXPR first "${k} * ${FW_SWEEP_PER_SLICE}")
  fw_test(sweep.${k} ${FW_DIR}/sweep.sh $<TARGET_FILE:tamberlo-gen> $<TARGET_FILE:sweep_draw>
          ${FW_WORK}/sweep.${k} ${FW_SWEEP_SEED} ${first} ${FW_SWEEP_PER_SLICE})
  set_tests_properties(fw.sweep.${k} PROPERTIES LABELS "firmware;sweep")
endforeach()
