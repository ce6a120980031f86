// The records that playback leaves out on purpose, of both formats, each with the reason.
// Records in neither this list nor the players' tables are unknown and skipped by their size.
#pragma once

#include <cstdint>

namespace metafile {

struct NotDrawn {
    bool enhanced;                  // EMF record type, else WMF function number
    uint32_t id;
    const char* name;
    const char* reason;
};

inline constexpr NotDrawn kNotDrawn[] = {
    {true, 1, "EMR_HEADER", "read before playing: its frame is mapped onto the picture (by the bounds only where the frame misses most of the ink), its reference device gives the scale"},
    {true, 13, "EMR_SETBRUSHORGEX", "pattern brushes start at the origin of the device they are drawn on"},
    {true, 16, "EMR_SETMAPPERFLAGS", "fonts are chosen by name, or by family and pitch as the desktop substitutes them; an aspect-ratio match has nothing to choose from"},
    {true, 21, "EMR_SETSTRETCHBLTMODE", "copies are always scaled smoothly, other raster operations pixel by pixel"},
    {true, 23, "EMR_SETCOLORADJUSTMENT", "only affects halftone stretching, which is not used"},
    {true, 28, "EMR_SETMETARGN", "only matters when a metafile is played inside another one"},
    {true, 48, "EMR_SELECTPALETTE", "pictures are drawn in true colour, where palettes change nothing"},
    {true, 50, "EMR_SETPALETTEENTRIES", "pictures are drawn in true colour, where palettes change nothing"},
    {true, 51, "EMR_RESIZEPALETTE", "pictures are drawn in true colour, where palettes change nothing"},
    {true, 52, "EMR_REALIZEPALETTE", "pictures are drawn in true colour, where palettes change nothing"},
    {true, 53, "EMR_EXTFLOODFILL", "fills by the colours already on the device, which a vector drawing at any size does not have"},
    {true, 58, "EMR_SETMITERLIMIT", "mitred corners use the drawing library's limit"},
    {true, 65, "EMR_FLATTENPATH", "curves drawn as curves look the same as their flattened lines"},
    {true, 70, "EMR_GDICOMMENT", "comments; the EMF+ records they carry are not drawn, dual files draw their GDI records"},
    {true, 96, "EMR_POLYTEXTOUTA", "not written by current programs; not drawn"},
    {true, 97, "EMR_POLYTEXTOUTW", "not written by current programs; not drawn"},
    {true, 98, "EMR_SETICMMODE", "colours are drawn as given, without colour management"},
    {true, 99, "EMR_CREATECOLORSPACE", "colours are drawn as given, without colour management"},
    {true, 100, "EMR_SETCOLORSPACE", "colours are drawn as given, without colour management"},
    {true, 101, "EMR_DELETECOLORSPACE", "colours are drawn as given, without colour management"},
    {true, 115, "EMR_SETLAYOUT", "right-to-left mirroring of the layout is not applied"},
    {false, 0x0105, "META_SETRELABS", "has no effect in GDI either"},
    {false, 0x0107, "META_SETSTRETCHBLTMODE", "copies are always scaled smoothly, other raster operations pixel by pixel"},
    {false, 0x0108, "META_SETTEXTCHAREXTRA", "extra space between characters is not applied"},
    {false, 0x020A, "META_SETTEXTJUSTIFICATION", "extra space between words is not applied"},
    {false, 0x0211, "META_OFFSETVIEWPORTORG", "the window is stretched onto the picture whatever the viewport"},
    {false, 0x0412, "META_SCALEVIEWPORTEXT", "the window is stretched onto the picture whatever the viewport"},
    {false, 0x0419, "META_FLOODFILL", "fills by the colours already on the device, which a vector drawing at any size does not have"},
    {false, 0x0626, "META_ESCAPE", "printer commands and comments; an EMF carried in comments is played instead of the WMF when it loads"},
    {false, 0x0231, "META_SETMAPPERFLAGS", "fonts are chosen by name, or by family and pitch as the desktop substitutes them; an aspect-ratio match has nothing to choose from"},
    {false, 0x0234, "META_SELECTPALETTE", "pictures are drawn in true colour, where palettes change nothing"},
    {false, 0x0035, "META_REALIZEPALETTE", "pictures are drawn in true colour, where palettes change nothing"},
    {false, 0x0436, "META_ANIMATEPALETTE", "pictures are drawn in true colour, where palettes change nothing"},
    {false, 0x0037, "META_SETPALENTRIES", "pictures are drawn in true colour, where palettes change nothing"},
    {false, 0x0139, "META_RESIZEPALETTE", "pictures are drawn in true colour, where palettes change nothing"},
    {false, 0x0548, "META_EXTFLOODFILL", "fills by the colours already on the device, which a vector drawing at any size does not have"},
    {false, 0x0149, "META_SETLAYOUT", "right-to-left mirroring of the layout is not applied"},
};

}  // namespace metafile
