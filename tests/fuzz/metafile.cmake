# The metafile renderer, fuzzed once per format from that format's samples and from small files
# of our own that hold the records the samples use rarely (blits with raster operations and
# masks, gradients, regions, path figures, an EMF carried in a WMF).
fotolauf_fuzz(metafile_wmf_fuzz SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/metafile_fuzz.cpp LIBRARY fotolauf_metafile
              SEEDS ${samples}/wmf ${CMAKE_CURRENT_SOURCE_DIR}/metafile-seeds)
fotolauf_fuzz(metafile_emf_fuzz SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/metafile_fuzz.cpp LIBRARY fotolauf_metafile
              SEEDS ${samples}/emf ${CMAKE_CURRENT_SOURCE_DIR}/metafile-seeds)
