# The metafile renderer, fuzzed once per format from that format's samples.
fotolauf_fuzz(metafile_wmf_fuzz SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/metafile_fuzz.cpp SEEDS ${samples}/wmf)
fotolauf_fuzz(metafile_emf_fuzz SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/metafile_fuzz.cpp SEEDS ${samples}/emf)
