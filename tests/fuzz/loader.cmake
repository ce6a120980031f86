# The picture loader on arbitrary file bytes, seeded with the raster samples. Decoding whole
# pictures is slow (tens of runs a second), so it runs a small fixed number of runs here.
fotolauf_fuzz(fuzz_loader SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_loader.cpp
  SEEDS ${samples}/jpg ${samples}/exif ${samples}/bmp ${samples}/gif ${samples}/ico ${samples}/cur ${samples}/bad
  RUNS 4000 OPTIONS -max_len=65536)
