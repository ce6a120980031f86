# The picture loader on arbitrary file bytes, seeded with the raster samples.
fotolauf_fuzz(fuzz_loader SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_loader.cpp
  SEEDS ${samples}/jpg ${samples}/bmp ${samples}/gif ${samples}/ico ${samples}/cur ${samples}/bad)
