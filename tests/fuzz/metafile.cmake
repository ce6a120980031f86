# The metafile renderer, fuzzed once per format from that format's samples and from small files
# of our own that hold the records the samples use rarely (blits with raster operations and
# masks, gradients, regions, path figures, an EMF carried in a WMF); the EMF target also starts
# from the files that once took too long. Each input is drawn at a screen's size: one that takes
# more than a few seconds, or asks at once for more memory than a whole drawing may take, fails
# the run.
set(metafile_fuzz_limits TIMEOUT 4 OPTIONS -malloc_limit_mb=256)
fotolauf_fuzz(metafile_wmf_fuzz SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/metafile_fuzz.cpp LIBRARY fotolauf_metafile
              ${metafile_fuzz_limits} SEEDS ${samples}/wmf ${CMAKE_CURRENT_SOURCE_DIR}/metafile-seeds)
fotolauf_fuzz(metafile_emf_fuzz SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/metafile_fuzz.cpp LIBRARY fotolauf_metafile
              ${metafile_fuzz_limits} SEEDS ${samples}/emf ${samples}/bad ${CMAKE_CURRENT_SOURCE_DIR}/metafile-seeds)
