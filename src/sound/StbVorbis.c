/* The one translation unit that compiles stb_vorbis's implementation (from Debian's libstb-dev).
   Its own warnings are relaxed in CMakeLists.txt for this file only. */

#define STB_VORBIS_NO_STDIO
#define STB_VORBIS_NO_PUSHDATA_API
#include <stb_vorbis.h>
