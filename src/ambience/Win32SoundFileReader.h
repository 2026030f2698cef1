#pragma once

#include "ambience/SoundCache.h"

// The sound cache's reader over the disk, through the system's own calls: paths of any length,
// a file's stamp from its size and last-write time.
SoundFileReader Win32SoundFileReader();
