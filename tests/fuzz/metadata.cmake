# Fuzz targets of the metadata readers, seeded with the EXIF and IPTC samples.
fotolauf_fuzz(fuzz_exif SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/FuzzExif.cpp SEEDS ${samples}/exif ${samples}/iptc)
fotolauf_fuzz(fuzz_iptc SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/FuzzIptc.cpp SEEDS ${samples}/iptc ${samples}/exif)
