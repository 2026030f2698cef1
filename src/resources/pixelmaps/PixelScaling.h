#pragma once

#include <vector>

#include "PixelMap.h"

// Larger pictures made from the same maps without blurring: each pixel becomes a square block
// of a whole number of pixels, and what a size has beyond a whole multiple of the art is
// margin around it, centred, in the background value.

// `image` with every pixel repeated `factor` times across and down.
PixelImage ScaleUp(const PixelImage& image, int factor);

// `image` made `width` × `height` (each at least its own size) by repeating some of its columns
// and rows once more than the others: those inside its fills before its outlines.
PixelImage ScaleTo(const PixelImage& image, int width, int height, PixelValue background);

// `image` placed in the middle of a `width` × `height` cell filled with `background`.
PixelImage CentreIn(const PixelImage& image, int width, int height, PixelValue background);

// The toolbar strip for cells `cellWidth` pixels wide: each image scaled to fill a cell as much
// taller as the art is tall for its width, by a whole factor where the cell is a multiple of it.
std::vector<PixelImage> ScaleStrip(const std::vector<PixelImage>& images, int cellWidth,
                                   PixelValue background);

// A square icon of `size` from the art that comes out largest at a whole factor (the larger
// art on a tie), centred with transparent margins.
PixelImage IconOfSize(const std::vector<PixelImage>& art, int size);
