# The simulated dive computer: the far end of the simulated peripheral in
# tests, in divetool and in the program's demo mode. Its dives come from the
# decompression engine.
target_sources(Corvane PRIVATE
  simulator/simulateddive.h
  simulator/computerrecords.h simulator/computerrecords.cpp
  simulator/diveprofilesynth.h simulator/diveprofilesynth.cpp
  simulator/simulatedlogbook.h simulator/simulatedlogbook.cpp
  simulator/simulateddiver.h simulator/simulateddiver.cpp
  simulator/computerstate.h simulator/computercommands.cpp
  simulator/computerflash.h simulator/computerflash.cpp simulator/computerhandlers_p.h
  simulator/simulatedcomputer.h simulator/simulatedcomputer.cpp
  simulator/democomputer.h simulator/democomputer.cpp
  simulator/demofaults.h simulator/demofaults.cpp
)
target_link_libraries(Corvane PRIVATE deco)
