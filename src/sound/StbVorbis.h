#pragma once

// The declarations of stb_vorbis, the same in every file that uses it: decoding from memory
// only (the decoder never opens files by itself). StbVorbis.c holds the one implementation.

#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>
#undef STB_VORBIS_HEADER_ONLY
